#include "imaging/luminance.h"

#include <gtest/gtest.h>

#include "imaging/dib.h"

namespace {

// The fast path and the grey copy must agree with the double formula for every colour, including
// the ones whose exact value lies on a whole number.
TEST(Luminance, IntegerPathEqualsTheDoubleFormulaForAllColours) {
    long mismatches = 0;
    for (unsigned r = 0; r < 256; ++r) {
        for (unsigned g = 0; g < 256; ++g) {
            for (unsigned b = 0; b < 256; ++b) {
                const int fast = kivo::luminance::fromRgb(
                    static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
                if (fast != kivo::luminance::reference(r, g, b)) {
                    if (++mismatches <= 5) {
                        ADD_FAILURE() << "colour " << r << "," << g << "," << b;
                    }
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(Luminance, GreyCopyOfAPictureHoldingEveryColour) {
    for (int bits : {24, 32}) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        CDib all;
        ASSERT_EQ(all.createBlank(4096, 4096, bits), 1);
        const int bytesPerPixel = bits / 8;
        for (int y = 0; y < 4096; ++y) {
            uint8_t *p = all.pixelAddress(0, y);
            for (uint32_t x = 0; x < 4096; ++x, p += bytesPerPixel) {
                const uint32_t rgb = uint32_t(y) << 12 | x;
                p[0] = static_cast<uint8_t>(rgb);
                p[1] = static_cast<uint8_t>(rgb >> 8);
                p[2] = static_cast<uint8_t>(rgb >> 16);
            }
        }
        const std::unique_ptr<CDib> grey = all.greyCopy();
        ASSERT_NE(grey, nullptr);
        long mismatches = 0;
        for (int y = 0; y < 4096; ++y) {
            const uint8_t *g = grey->pixelAddress(0, y);
            for (uint32_t x = 0; x < 4096; ++x) {
                const uint32_t rgb = uint32_t(y) << 12 | x;
                mismatches +=
                    g[x] != kivo::luminance::reference(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

}  // namespace
