#include "player/captions/samidecoding.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "platform/cp949.h"

namespace kivo::captions {
namespace {

bool startsWith(std::span<const uint8_t> bytes, std::initializer_list<uint8_t> mark) {
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

// Strict UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF.
bool isValidUtf8(std::span<const uint8_t> bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        uint8_t low = 0x80;
        uint8_t high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > bytes.size() || bytes[i + 1] < low || bytes[i + 1] > high) {
            return false;
        }
        for (size_t k = 2; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

std::string fromUtf16(std::span<const uint8_t> bytes, bool bigEndian) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        const uint8_t first = bytes[2 * i];
        const uint8_t second = bytes[2 * i + 1];
        units[i] = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return kivo::utf16ToUtf8(units);
}

std::string_view asChars(std::span<const uint8_t> bytes) {
    return {reinterpret_cast<const char *>(bytes.data()), bytes.size()};
}

}  // namespace

std::string decodeSamiBytes(std::span<const uint8_t> bytes) {
    if (startsWith(bytes, {0xFF, 0xFE})) {
        return fromUtf16(bytes.subspan(2), false);
    }
    if (startsWith(bytes, {0xFE, 0xFF})) {
        return fromUtf16(bytes.subspan(2), true);
    }
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        return kivo::utf16ToUtf8(kivo::utf8ToUtf16(asChars(bytes.subspan(3))));
    }
    if (isValidUtf8(bytes)) {
        return std::string(asChars(bytes));
    }
    return kivo::cp949ToUtf8(asChars(bytes));
}

}  // namespace kivo::captions
