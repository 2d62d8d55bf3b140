#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "player/captions/samireader.h"
#include "scene/videodescription.h"

// SAMI documents and captions written by hand in the tests.
inline std::vector<uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

inline CCaptionEntry caption(double time, const char *text) {
    CCaptionEntry entry;
    entry.time = time;
    entry.text = text;
    return entry;
}

// UTF-16 with a byte-order mark.
inline std::vector<uint8_t> utf16Bytes(std::u16string_view text, bool bigEndian) {
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (const char16_t unit : text) {
        bytes.insert(bytes.end(),
                     {static_cast<uint8_t>(unit & 0xFF), static_cast<uint8_t>(unit >> 8)});
    }
    for (size_t i = 0; bigEndian && i < bytes.size(); i += 2) {
        std::swap(bytes[i], bytes[i + 1]);
    }
    return bytes;
}

namespace kivo::captions {
inline void PrintTo(const CSamiEntry &entry, std::ostream *out) {
    *out << '{' << entry.start << ", \"" << entry.text << "\"}";
}
}  // namespace kivo::captions
