#pragma once

#include <gtest/gtest.h>

#include <random>

#include "imaging/dib.h"

// A picture whose colour table and rows are filled with noise from the given seed.
inline CDib noisePicture(int width, int height, int bits, unsigned seed) {
    CDib dib;
    EXPECT_EQ(dib.createBlank(width, height, bits), 1);
    std::mt19937 random(seed);
    auto *start = const_cast<uint8_t *>(dib.block()) + CDib::kHeaderSize;
    for (size_t i = 0; i < dib.blockSize() - CDib::kHeaderSize; ++i) {
        start[i] = static_cast<uint8_t>(random());
    }
    return dib;
}
