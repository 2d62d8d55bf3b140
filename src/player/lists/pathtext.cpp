#include "player/lists/pathtext.h"

#include <optional>

#include "platform/countedtext.h"
#include "platform/cp949.h"

namespace kivo::lists {
namespace {

constexpr char32_t kRawBytePlane = 0xF700;

// The length of the valid UTF-8 sequence at `pos`, or 0 when the byte there starts none. A
// character of the raw-byte plane counts as none too: its bytes are escaped one by one, so that
// reading turns them back into themselves rather than into one byte.
size_t validSequenceAt(const std::string &text, size_t pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    size_t length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) ||
        (cp >= kRawBytePlane + 0x80 && cp <= kRawBytePlane + 0xFF)) {
        return 0;
    }
    return length;
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
        const char32_t cp = kRawBytePlane + static_cast<unsigned char>(path[pos]);
        text += static_cast<char>(0xE0 | (cp >> 12));
        text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (cp & 0x3F));
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
