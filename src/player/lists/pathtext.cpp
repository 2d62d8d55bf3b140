#include "player/lists/pathtext.h"

#include <optional>

#include "platform/countedtext.h"
#include "platform/cp949.h"

namespace kivo::lists {
namespace {

// The length of the valid UTF-8 sequence at `pos`, or 0 when the byte there starts none. A
// character of the raw-byte plane counts as none too: its bytes are escaped one by one, so that
// reading turns them back into themselves rather than into one byte.
size_t validSequenceAt(const std::string &text, size_t pos) {
    size_t end = pos;
    const std::optional<char32_t> cp = decodeUtf8At(text, end);
    if (!cp || (*cp >= kRawBytePlane + 0x80 && *cp <= kRawBytePlane + 0xFF)) {
        return 0;
    }
    return end - pos;
}

// The path as UTF-8 with every byte outside a valid sequence turned into U+F700 + byte;
// nothing when the path is valid UTF-8 already.
std::optional<std::string> rawBytesAsText(const std::string &path) {
    std::string text;
    bool changed = false;
    size_t pos = 0;
    while (pos < path.size()) {
        if (const size_t length = validSequenceAt(path, pos)) {
            text.append(path, pos, length);
            pos += length;
            continue;
        }
        appendUtf8(text, kRawBytePlane + static_cast<unsigned char>(path[pos]));
        changed = true;
        ++pos;
    }
    if (!changed) {
        return std::nullopt;
    }
    return text;
}

// The reverse: U+F780..U+F7FF (EF 9E 80 .. EF 9F BF) become their byte again.
std::string textAsRawBytes(const std::string &text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t pos = 0; pos < text.size(); ++pos) {
        const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
        if (byte(pos) == 0xEF && pos + 2 < text.size() &&
            (byte(pos + 1) == 0x9E || byte(pos + 1) == 0x9F) && (byte(pos + 2) & 0xC0) == 0x80) {
            bytes +=
                static_cast<char>(((byte(pos + 1) & 0x01) << 6 | (byte(pos + 2) & 0x3F)) + 0x80);
            pos += 2;
        } else {
            bytes += text[pos];
        }
    }
    return bytes;
}

}  // namespace

void writePathText(CBinaryWriter &writer, const std::string &path) {
    const std::optional<std::string> text = rawBytesAsText(path);
    if (!text) {
        writeCountedText(writer, path);
        return;
    }
    const std::optional<std::string> narrow = utf8ToCp949(*text);
    if (narrow && textAsRawBytes(cp949ToUtf8(*narrow)) == path) {
        writeCountedText(writer, *text);
    } else {
        writeWideCountedText(writer, *text);
    }
}

bool readPathText(CBinaryReader &reader, std::string &path) {
    std::string text;
    if (!readCountedText(reader, text)) {
        return false;
    }
    path = textAsRawBytes(text);
    return true;
}

}  // namespace kivo::lists
