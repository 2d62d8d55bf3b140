#pragma once

#include <cstdlib>
#include <string>

#include "imaging/dib.h"

// The index fixtures carry their own frame number in the top 16 rows: 16 blocks of 20 pixels,
// block i white when bit i is set (least significant bit leftmost). Returns -1 when a block is
// neither clearly white nor clearly black, so a wrong or damaged picture never reads as a number.
inline int frameIndexOf(const CDib &picture) {
    constexpr int kBlocks = 16;
    constexpr int kBlockWidth = 20;
    constexpr int kRow = 8;
    if (picture.width() < kBlocks * kBlockWidth || picture.height() < 16) {
        return -1;
    }
    int index = 0;
    for (int bit = 0; bit < kBlocks; ++bit) {
        const int level = picture.luminanceAt(bit * kBlockWidth + kBlockWidth / 2, kRow);
        if (level > 192) {
            index |= 1 << bit;
        } else if (level > 64) {
            return -1;
        }
    }
    return index;
}

inline std::string fixturePath(const std::string &name) {
    const char *folder = std::getenv("KIVO_FIXTURES");
    return std::string(folder != nullptr ? folder : ".") + "/" + name;
}
