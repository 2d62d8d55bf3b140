#include "platform/cp949.h"

#include <iconv.h>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace kivo {
namespace {

struct IconvCloser {
    void operator()(void *handle) const {
        if (handle) {
            iconv_close(static_cast<iconv_t>(handle));
        }
    }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle openConverter(const char *to, const char *from) {
    iconv_t handle = iconv_open(to, from);
    return IconvHandle(handle == reinterpret_cast<iconv_t>(-1) ? nullptr : handle);
}

// The code page's double-byte table, read once from iconv: lead bytes 0x81..0xFE, trail bytes
// 0x41..0xFE. Only pairs that iconv decodes to exactly one character, and that character to
// the same pair, are kept, so decoding followed by encoding gives back the original bytes.
class CCodePageTable {
public:
    CCodePageTable() : m_decode(0x10000, 0) {
        IconvHandle toUnicode = openConverter("UTF-32LE", "CP949");
        IconvHandle fromUnicode = openConverter("CP949", "UTF-32LE");
        if (!toUnicode || !fromUnicode) {
            return;
        }
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x41; trail <= 0xFE; ++trail) {
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const char32_t cp = decodePair(toUnicode.get(), pair);
                if (cp == 0 || (cp >= kRawBytePlane + 0x80 && cp <= kRawBytePlane + 0xFF) ||
                    !encodesBack(fromUnicode.get(), cp, pair) || m_encode.count(cp)) {
                    continue;
                }
                const uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
                m_decode[code] = cp;
                m_encode.emplace(cp, code);
            }
        }
    }

    // The character of a double-byte code, or 0 when the pair is not a character.
    char32_t decode(uint8_t lead, uint8_t trail) const { return m_decode[lead << 8 | trail]; }

    // The double-byte code of a character, or 0 when the code page cannot hold it.
    uint16_t encode(char32_t cp) const {
        const auto found = m_encode.find(cp);
        return found == m_encode.end() ? 0 : found->second;
    }

private:
    static char32_t decodePair(void *handle, const char (&pair)[2]) {
        auto cd = static_cast<iconv_t>(handle);
        char *in = const_cast<char *>(pair);
        size_t inLeft = 2;
        char32_t out[2] = {};
        char *outPtr = reinterpret_cast<char *>(out);
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
            outLeft != sizeof out - sizeof(char32_t)) {
            return 0;
        }
        return out[0];
    }

    static bool encodesBack(void *handle, char32_t cp, const char (&pair)[2]) {
        auto cd = static_cast<iconv_t>(handle);
        char *in = reinterpret_cast<char *>(&cp);
        size_t inLeft = sizeof cp;
        char out[4] = {};
        char *outPtr = out;
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        return iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
               outLeft == sizeof out - 2 && out[0] == pair[0] && out[1] == pair[1];
    }

    std::vector<char32_t> m_decode;
    std::unordered_map<char32_t, uint16_t> m_encode;
};

const CCodePageTable &codePage() {
    static const CCodePageTable table;
    return table;
}

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Decodes one UTF-8 sequence at `text[pos]`; advances pos. Malformed input gives U+FFFD and
// advances by one byte.
char32_t nextCodePoint(std::string_view text, size_t &pos) {
    if (const std::optional<char32_t> cp = decodeUtf8At(text, pos)) {
        return *cp;
    }
    ++pos;
    return 0xFFFD;
}

}  // namespace

void appendUtf8(std::string &out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::optional<char32_t> decodeUtf8At(std::string_view text, size_t &pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    size_t length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
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
        return std::nullopt;
    }
    if (pos + length > text.size()) {
        return std::nullopt;
    }
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += length;
    return cp;
}

std::string cp949ToUtf8(std::string_view bytes) {
    if (isAscii(bytes)) {
        return std::string(bytes);
    }
    const CCodePageTable &table = codePage();
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<uint8_t>(bytes[i]);
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            continue;
        }
        const char32_t cp =
            i + 1 < bytes.size() ? table.decode(byte, static_cast<uint8_t>(bytes[i + 1])) : 0;
        if (cp != 0) {
            appendUtf8(out, cp);
            ++i;
        } else {
            appendUtf8(out, kRawBytePlane + byte);
        }
    }
    return out;
}

std::optional<std::string> utf8ToCp949(std::string_view text) {
    if (isAscii(text)) {
        return std::string(text);
    }
    const CCodePageTable &table = codePage();
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = nextCodePoint(text, pos);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp >= kRawBytePlane + 0x80 && cp <= kRawBytePlane + 0xFF) {
            out += static_cast<char>(cp - kRawBytePlane);
        } else if (const uint16_t code = table.encode(cp)) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = nextCodePoint(text, pos);
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                (static_cast<char32_t>(text[i + 1]) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

}  // namespace kivo
