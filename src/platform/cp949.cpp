#include "platform/cp949.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <memory>

namespace kivo {
namespace {

constexpr char32_t kRawBytePlane = 0xF700;

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

// iconv handles carry shift state and are not thread-safe: one pair per thread.
iconv_t decoder() {
    thread_local IconvHandle handle = openConverter("UTF-8", "CP949");
    return static_cast<iconv_t>(handle.get());
}

iconv_t encoder() {
    thread_local IconvHandle handle = openConverter("CP949", "UTF-8");
    return static_cast<iconv_t>(handle.get());
}

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

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

// Decodes one UTF-8 sequence at `text[pos]`; advances pos. Malformed input gives U+FFFD and
// advances by one byte.
char32_t nextCodePoint(std::string_view text, size_t &pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    int length = 0;
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
        ++pos;
        return 0xFFFD;
    }
    if (pos + static_cast<size_t>(length) > text.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + static_cast<size_t>(i));
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += static_cast<size_t>(length);
    return cp;
}

}  // namespace

std::string cp949ToUtf8(std::string_view bytes) {
    if (isAscii(bytes)) {
        return std::string(bytes);
    }
    iconv_t cd = decoder();
    // A CP949 byte never needs more than three UTF-8 bytes, raw bytes included.
    std::string out(bytes.size() * 3, '\0');
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = bytes.size();
    char *outPtr = out.data();
    size_t outLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        if (cd && iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) {
            break;
        }
        // Invalid or incomplete sequence (or no converter): keep the byte as a raw code point.
        std::string raw;
        appendUtf8(raw, kRawBytePlane + static_cast<unsigned char>(*in));
        for (const char c : raw) {
            *outPtr++ = c;
        }
        outLeft -= raw.size();
        ++in;
        --inLeft;
        if (cd) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    out.resize(out.size() - outLeft);
    return out;
}

std::optional<std::string> utf8ToCp949(std::string_view text) {
    if (isAscii(text)) {
        return std::string(text);
    }
    iconv_t cd = encoder();
    if (!cd) {
        return std::nullopt;
    }
    std::string out(text.size() * 2 + 4, '\0');
    char *in = const_cast<char *>(text.data());
    size_t inLeft = text.size();
    char *outPtr = out.data();
    size_t outLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) {
            break;
        }
        if (errno != EILSEQ && errno != EINVAL) {
            return std::nullopt;
        }
        size_t pos = static_cast<size_t>(in - text.data());
        const char32_t cp = nextCodePoint(text, pos);
        if (cp < kRawBytePlane + 0x80 || cp > kRawBytePlane + 0xFF) {
            return std::nullopt;
        }
        *outPtr++ = static_cast<char>(cp - kRawBytePlane);
        --outLeft;
        inLeft -= pos - static_cast<size_t>(in - text.data());
        in = const_cast<char *>(text.data()) + pos;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out.size() - outLeft);
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
