#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "player/captions/samireader.h"

// SAMI documents written by hand in the tests, as the bytes a file would hold.
inline std::vector<uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

// UTF-16 with a byte-order mark, from ASCII-only and BMP text given as code units.
inline std::vector<uint8_t> utf16Bytes(std::u16string_view text, bool bigEndian) {
    std::vector<uint8_t> bytes =
        bigEndian ? std::vector<uint8_t>{0xFE, 0xFF} : std::vector<uint8_t>{0xFF, 0xFE};
    for (const char16_t unit : text) {
        const auto high = static_cast<uint8_t>(unit >> 8);
        const auto low = static_cast<uint8_t>(unit & 0xFF);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

namespace kivo::captions {
inline void PrintTo(const CSamiEntry &entry, std::ostream *out) {
    *out << '{' << entry.start << ", \"" << entry.text << "\"}";
}
}  // namespace kivo::captions
