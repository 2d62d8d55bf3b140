#include "imaging/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "imaging/luminance.h"

namespace {

uint32_t readU32(const uint8_t *p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24;
}

void putU32(uint8_t *p, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// Fills every stored byte of the picture (table and rows) with noise.
void fillWithNoise(CDib &dib, unsigned seed) {
    std::mt19937 random(seed);
    uint8_t *start = const_cast<uint8_t *>(dib.block()) + CDib::kHeaderSize;
    const size_t size = dib.blockSize() - CDib::kHeaderSize;
    for (size_t i = 0; i < size; ++i) {
        start[i] = static_cast<uint8_t>(random());
    }
}

void setTableEntry(CDib &dib, int index, uint32_t rgb) {
    uint8_t *quad = dib.colorTable() + 4 * index;
    quad[0] = static_cast<uint8_t>(rgb);
    quad[1] = static_cast<uint8_t>(rgb >> 8);
    quad[2] = static_cast<uint8_t>(rgb >> 16);
    quad[3] = 0;
}

void setPixel24(CDib &dib, int x, int y, uint32_t rgb) {
    uint8_t *p = dib.pixelAddress(x, y);
    ASSERT_NE(p, nullptr);
    p[0] = static_cast<uint8_t>(rgb);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb >> 16);
}

struct LayoutCase {
    int width;
    int height;
    int bits;
    int stride;
    int tableBytes;
    uint32_t colors;
};

TEST(DibLayout, BlankPicturesFollowTheHeaderRules) {
    const LayoutCase cases[] = {
        {3, 2, 24, 12, 0, 16777216}, {9, 1, 1, 4, 8, 2},          {33, 3, 1, 8, 8, 2},
        {5, 2, 4, 4, 64, 16},        {320, 2, 8, 320, 1024, 256}, {3, 5, 16, 8, 0, 65536},
        {3, 1, 32, 12, 0, 16777216}, {1, 1, 24, 4, 0, 16777216},
    };
    for (const LayoutCase &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
        CDib dib;
        ASSERT_EQ(dib.createBlank(c.width, c.height, c.bits), 1);
        EXPECT_EQ(dib.stride(), c.stride);
        EXPECT_EQ(dib.numColors(), c.colors);
        EXPECT_EQ(dib.blockSize(), size_t(40 + c.tableBytes + c.stride * c.height));
        EXPECT_EQ(dib.bits() - dib.block(), 40 + c.tableBytes);
        EXPECT_EQ(dib.colorTable() == nullptr, c.tableBytes == 0);

        const uint8_t *header = dib.block();
        EXPECT_EQ(readU32(header), 40u);
        EXPECT_EQ(readU32(header + 4), uint32_t(c.width));
        EXPECT_EQ(readU32(header + 8), uint32_t(c.height));
        EXPECT_EQ(header[12] | header[13] << 8, 1);
        EXPECT_EQ(header[14] | header[15] << 8, c.bits);
        for (size_t i = 16; i < dib.blockSize(); ++i) {
            ASSERT_EQ(header[i], 0) << "byte " << i;
        }
    }
}

// A picture made to be written over has the blank picture's header, table and row padding; only
// the pixels are left as the memory held them (here: a freed picture's 0xAB bytes, likely reused).
TEST(DibLayout, PicturesForOverwriteDifferFromBlankOnesOnlyInThePixels) {
    const LayoutCase cases[] = {{3, 2, 24, 12, 0, 16777216},
                                {33, 3, 1, 8, 8, 2},
                                {5, 2, 4, 4, 64, 16},
                                {318, 7, 8, 320, 1024, 256}};
    for (const LayoutCase &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
        {
            CDib used;
            ASSERT_EQ(used.createBlank(c.width, c.height, c.bits), 1);
            std::memset(used.bits(), 0xAB, used.blockSize() - 40 - c.tableBytes);
        }
        CDib blank;
        CDib overwritten;
        ASSERT_EQ(overwritten.createForOverwrite(c.width, c.height, c.bits), 1);
        ASSERT_EQ(blank.createBlank(c.width, c.height, c.bits), 1);
        ASSERT_EQ(overwritten.blockSize(), blank.blockSize());
        const size_t rowBytes = (size_t(c.width) * size_t(c.bits) + 7) / 8;
        for (size_t i = 0; i < blank.blockSize(); ++i) {
            const size_t pixelOffset = i - 40 - size_t(c.tableBytes);
            const bool pixel = i >= 40 + size_t(c.tableBytes) && pixelOffset % c.stride < rowBytes;
            if (!pixel) {
                ASSERT_EQ(overwritten.block()[i], blank.block()[i]) << "byte " << i;
            }
        }
    }
    CDib tooLarge;
    EXPECT_EQ(tooLarge.createForOverwrite(70000, 70000, 32), 0);
    EXPECT_TRUE(tooLarge.isEmpty());
}

TEST(DibLayout, ImpossiblePicturesLeaveTheObjectEmpty) {
    const int impossible[][3] = {
        {0, 5, 24},         {5, 0, 24}, {-1, 5, 24}, {5, -1, 24},    {5, 5, 0},
        {5, 5, 2},          {5, 5, 15}, {5, 5, 33},  {21846, 1, 24},  // row over 65535 bytes
        {16383, 20000, 32},                                           // over the block limit
    };
    for (const auto &args : impossible) {
        SCOPED_TRACE(testing::Message() << args[0] << "x" << args[1] << "x" << args[2]);
        CDib dib;
        ASSERT_EQ(dib.createBlank(8, 8, 24), 1);
        EXPECT_EQ(dib.createBlank(args[0], args[1], args[2]), 0);
        EXPECT_TRUE(dib.isEmpty());
        EXPECT_EQ(dib.block(), nullptr);
        EXPECT_EQ(dib.bits(), nullptr);
        EXPECT_EQ(dib.width(), 0);
        EXPECT_EQ(dib.stride(), 0);
        EXPECT_EQ(dib.pixelAddress(0, 0), nullptr);
        EXPECT_EQ(dib.greyCopy(), nullptr);
        EXPECT_EQ(dib.resized(4, 4), nullptr);
        EXPECT_TRUE(dib.palette().empty());
    }
    // The widest row that still fits.
    CDib widest;
    EXPECT_EQ(widest.createBlank(21844, 1, 24), 1);
    EXPECT_EQ(widest.stride(), 65532);
}

TEST(DibPackedBlock, CopiesExactlyTheBlockItsHeaderDescribes) {
    CDib source;
    ASSERT_EQ(source.createBlank(7, 3, 8), 1);
    fillWithNoise(source, 1);
    // Trailing bytes beyond the described block are not part of the picture.
    std::vector<uint8_t> bytes(source.block(), source.block() + source.blockSize());
    bytes.resize(bytes.size() + 17, 0xEE);

    CDib copy;
    ASSERT_EQ(copy.createFromPackedDib(bytes.data(), bytes.size()), 1);
    EXPECT_EQ(copy.blockSize(), source.blockSize());
    EXPECT_EQ(std::memcmp(copy.block(), source.block(), source.blockSize()), 0);
    EXPECT_EQ(copy.width(), 7);
    EXPECT_EQ(copy.height(), 3);
    EXPECT_EQ(copy.bitCount(), 8);
    EXPECT_EQ(copy.colorAt(6, 2), source.colorAt(6, 2));
}

TEST(DibPackedBlock, AbsurdHeadersAreRefusedWithoutReadingPastTheBlock) {
    CDib valid;
    ASSERT_EQ(valid.createBlank(4, 4, 24), 1);
    const std::vector<uint8_t> good(valid.block(), valid.block() + valid.blockSize());

    struct Corruption {
        const char *what;
        size_t offset;
        uint32_t value;
    };
    const Corruption corruptions[] = {
        {"header size 12", 0, 12},
        {"header size 124", 0, 124},
        {"negative width", 4, 0xFFFFFFFC},
        {"zero width", 4, 0},
        {"huge width", 4, 0x7FFFFFFF},
        {"top-down rows", 8, 0xFFFFFFFC},
        {"huge height", 8, 0x7FFFFFFF},
        {"one row more than given", 8, 5},
        {"bit count 0", 14, 0x00000000},
        {"bit count 7", 14, 0x00000007},
        {"bit count 48", 14, 0x00000030},
        {"bit fields", 16, 3},
        {"run-length", 16, 1},
    };
    for (const Corruption &c : corruptions) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = good;
        if (c.offset == 14) {
            bytes[14] = static_cast<uint8_t>(c.value);
            bytes[15] = static_cast<uint8_t>(c.value >> 8);
        } else {
            putU32(bytes.data() + c.offset, c.value);
        }
        CDib dib;
        ASSERT_EQ(dib.createBlank(2, 2, 8), 1);
        EXPECT_EQ(dib.createFromPackedDib(bytes.data(), bytes.size()), 0);
        EXPECT_TRUE(dib.isEmpty());
    }

    CDib dib;
    // A heap block exactly one byte short: a read past it would be caught by the sanitiser.
    auto shortBlock = std::make_unique<uint8_t[]>(good.size() - 1);
    std::memcpy(shortBlock.get(), good.data(), good.size() - 1);
    EXPECT_EQ(dib.createFromPackedDib(shortBlock.get(), good.size() - 1), 0);
    EXPECT_EQ(dib.createFromPackedDib(good.data(), 39), 0);
    EXPECT_EQ(dib.createFromPackedDib(nullptr, 1000), 0);
    EXPECT_TRUE(dib.isEmpty());
    EXPECT_EQ(dib.createFromPackedDib(good.data(), good.size()), 1);
}

TEST(DibPixels, OneBitPixelsCountFromTheTopLeftMostSignificantBitFirst) {
    CDib dib;
    ASSERT_EQ(dib.createBlank(9, 2, 1), 1);
    setTableEntry(dib, 0, 0x000000);
    setTableEntry(dib, 1, 0xFFFFFF);
    // The top row is the last one in memory.
    EXPECT_EQ(dib.pixelAddress(0, 0), dib.bits() + dib.stride());
    EXPECT_EQ(dib.pixelAddress(8, 0), dib.bits() + dib.stride() + 1);
    EXPECT_EQ(dib.pixelAddress(0, 1), dib.bits());

    *dib.pixelAddress(0, 0) = 0x80;
    EXPECT_EQ(dib.colorAt(0, 0), 0xFFFFFFu);
    EXPECT_EQ(dib.colorAt(1, 0), 0u);
    EXPECT_EQ(dib.colorAt(0, 1), 0u);
    *dib.pixelAddress(8, 1) = 0x80;
    EXPECT_EQ(dib.colorAt(8, 1), 0xFFFFFFu);
    EXPECT_EQ(dib.luminanceAt(8, 1), 255);

    for (const auto &[x, y] : {std::pair{-1, 0}, {9, 0}, {0, -1}, {0, 2}}) {
        EXPECT_EQ(dib.pixelAddress(x, y), nullptr);
        EXPECT_EQ(dib.colorAt(x, y), 0u);
    }
}

TEST(DibPixels, ColoursOfEveryDepth) {
    CDib four;
    ASSERT_EQ(four.createBlank(3, 1, 4), 1);
    setTableEntry(four, 0x0A, 0x102030);
    setTableEntry(four, 0x0B, 0x405060);
    four.pixelAddress(0, 0)[0] = 0xAB;  // even x in the high nibble
    four.pixelAddress(2, 0)[0] = 0xB0;
    EXPECT_EQ(four.pixelAddress(1, 0), four.pixelAddress(0, 0));
    EXPECT_EQ(four.colorAt(0, 0), 0x102030u);
    EXPECT_EQ(four.colorAt(1, 0), 0x405060u);
    EXPECT_EQ(four.colorAt(2, 0), 0x405060u);

    CDib eight;
    ASSERT_EQ(eight.createBlank(2, 2, 8), 1);
    setTableEntry(eight, 200, 0xC0FFEE);
    *eight.pixelAddress(1, 0) = 200;
    EXPECT_EQ(eight.colorAt(1, 0), 0xC0FFEEu);
    EXPECT_EQ(eight.colorAt(0, 0), 0u);

    CDib sixteen;
    ASSERT_EQ(sixteen.createBlank(2, 1, 16), 1);
    uint8_t *p = sixteen.pixelAddress(0, 0);
    p[0] = 0xFF;
    p[1] = 0x7F;
    p[2] = 0x00;  // 0x7C00: red only
    p[3] = 0x7C;
    EXPECT_EQ(sixteen.pixelAddress(1, 0), p + 2);
    EXPECT_EQ(sixteen.colorAt(0, 0), 0xF8F8F8u);
    EXPECT_EQ(sixteen.colorAt(1, 0), 0xF80000u);

    CDib twentyFour;
    ASSERT_EQ(twentyFour.createBlank(3, 2, 24), 1);
    setPixel24(twentyFour, 2, 1, 0x123456);
    EXPECT_EQ(twentyFour.pixelAddress(2, 1), twentyFour.bits() + 6);
    EXPECT_EQ(twentyFour.bits()[6], 0x56);  // stored blue, green, red
    EXPECT_EQ(twentyFour.colorAt(2, 1), 0x123456u);

    CDib thirtyTwo;
    ASSERT_EQ(thirtyTwo.createBlank(2, 1, 32), 1);
    uint8_t *q = thirtyTwo.pixelAddress(1, 0);
    EXPECT_EQ(q, thirtyTwo.bits() + 4);
    q[0] = 0x33;
    q[1] = 0x22;
    q[2] = 0x11;
    q[3] = 0xFF;
    EXPECT_EQ(thirtyTwo.colorAt(1, 0), 0x112233u);
}

TEST(DibPixels, LuminanceRoundsToNearest) {
    CDib dib;
    ASSERT_EQ(dib.createBlank(4, 1, 24), 1);
    setPixel24(dib, 0, 0, 0xFF0000);
    setPixel24(dib, 1, 0, 0x00FF00);
    setPixel24(dib, 2, 0, 0x0000FF);
    setPixel24(dib, 3, 0, 0xFFFFFF);
    EXPECT_EQ(dib.luminanceAt(0, 0), 76);
    EXPECT_EQ(dib.luminanceAt(1, 0), 150);
    EXPECT_EQ(dib.luminanceAt(2, 0), 29);
    EXPECT_EQ(dib.luminanceAt(3, 0), 255);
}

TEST(DibGreyCopy, EveryDepthGivesTheLuminanceOfEachPixel) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        CDib dib;
        ASSERT_EQ(dib.createBlank(37, 11, bits), 1);
        fillWithNoise(dib, static_cast<unsigned>(bits));
        const std::unique_ptr<CDib> grey = dib.greyCopy();
        ASSERT_NE(grey, nullptr);
        EXPECT_EQ(grey->bitCount(), 8);
        EXPECT_EQ(grey->width(), 37);
        EXPECT_EQ(grey->height(), 11);
        const std::vector<CPaletteEntry> ramp = grey->palette();
        ASSERT_EQ(ramp.size(), 256u);
        for (int i = 0; i < 256; ++i) {
            const auto level = static_cast<uint8_t>(i);
            ASSERT_EQ(ramp[i], (CPaletteEntry{level, level, level}));
        }
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 37; ++x) {
                const uint32_t c = dib.colorAt(x, y);
                ASSERT_EQ(*grey->pixelAddress(x, y),
                          kivo::luminance::reference(c >> 16, (c >> 8) & 0xFF, c & 0xFF))
                    << x << "," << y;
            }
        }
    }
}

TEST(DibResize, HeightZeroKeepsTheAspectRatio) {
    CDib dib;
    ASSERT_EQ(dib.createBlank(320, 240, 24), 1);
    const std::unique_ptr<CDib> half = dib.resized(160, 0);
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(half->width(), 160);
    EXPECT_EQ(half->height(), 120);
    EXPECT_EQ(half->bitCount(), 24);

    EXPECT_EQ(dib.resized(0, 10), nullptr);
    EXPECT_EQ(dib.resized(-3, 10), nullptr);
    EXPECT_EQ(dib.resized(10, -1), nullptr);
    CDib line;
    ASSERT_EQ(line.createBlank(100, 1, 24), 1);
    EXPECT_EQ(line.resized(10, 0), nullptr);  // 10 x 0 cannot exist
}

// Each source pixel carries its own column in red and its row in green, so the result shows
// which pixel every output pixel was sampled from.
CDib coordinatePicture(int width, int height, int bits) {
    CDib dib;
    EXPECT_EQ(dib.createBlank(width, height, bits), 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t *p = dib.pixelAddress(x, y);
            const uint32_t rgb = uint32_t(x) << 16 | uint32_t(y) << 8;
            p[0] = static_cast<uint8_t>(rgb);
            p[1] = static_cast<uint8_t>(rgb >> 8);
            p[2] = static_cast<uint8_t>(rgb >> 16);
        }
    }
    return dib;
}

TEST(DibResize, NearestPixelWithRoundingAndClamping) {
    struct Case {
        int sourceSize;
        int size;
        std::vector<int> sampled;
    };
    // Ratio 4/3: 0, 1.83, 3.17 -> 0, 1, 3. Ratio 0.4: 0, 0.9, 1.3, 1.7, 2.1 -> 0, 0, 1, 1, 1
    // (2 is past the last column). Ratio 2: 0.5, 2.5, 4.5 -> 0, 2, 4.
    const Case cases[] = {
        {4, 3, {0, 1, 3}}, {2, 5, {0, 0, 1, 1, 1}}, {6, 3, {0, 2, 4}}, {5, 1, {0}}};
    for (int bits : {24, 32}) {
        for (const Case &columns : cases) {
            for (const Case &rows : cases) {
                SCOPED_TRACE(testing::Message()
                             << bits << " bits, " << columns.sourceSize << "->" << columns.size
                             << " x " << rows.sourceSize << "->" << rows.size);
                const CDib source = coordinatePicture(columns.sourceSize, rows.sourceSize, bits);
                const std::unique_ptr<CDib> result = source.resized(columns.size, rows.size);
                ASSERT_NE(result, nullptr);
                ASSERT_EQ(result->width(), columns.size);
                ASSERT_EQ(result->height(), rows.size);
                for (int i = 0; i < rows.size; ++i) {
                    for (int j = 0; j < columns.size; ++j) {
                        const uint32_t expected =
                            uint32_t(columns.sampled[j]) << 16 | uint32_t(rows.sampled[i]) << 8;
                        ASSERT_EQ(result->colorAt(j, i), expected) << j << "," << i;
                    }
                }
            }
        }
    }
}

TEST(DibResize, IndexedAndSixteenBitSourcesAreSampledThroughTheirColours) {
    for (int bits : {1, 4, 8, 16}) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        CDib dib;
        ASSERT_EQ(dib.createBlank(13, 7, bits), 1);
        fillWithNoise(dib, 7u + static_cast<unsigned>(bits));
        const std::unique_ptr<CDib> same = dib.resized(13, 7);
        ASSERT_NE(same, nullptr);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 13; ++x) {
                ASSERT_EQ(same->colorAt(x, y), dib.colorAt(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(DibPalette, TableEntriesAsRedGreenBlue) {
    CDib dib;
    ASSERT_EQ(dib.createBlank(1, 1, 4), 1);
    setTableEntry(dib, 3, 0x0A0B0C);
    const std::vector<CPaletteEntry> palette = dib.palette();
    ASSERT_EQ(palette.size(), 16u);
    EXPECT_EQ(palette[3], (CPaletteEntry{0x0A, 0x0B, 0x0C}));
    EXPECT_EQ(palette[0], (CPaletteEntry{0, 0, 0}));

    CDib trueColour;
    ASSERT_EQ(trueColour.createBlank(1, 1, 24), 1);
    EXPECT_TRUE(trueColour.palette().empty());
}

TEST(DibOwnership, CopiesAreDeepAndMovesEmptyTheSource) {
    CDib original;
    ASSERT_EQ(original.createBlank(4, 4, 24), 1);
    setPixel24(original, 1, 1, 0xABCDEF);

    CDib copy = original;
    setPixel24(copy, 1, 1, 0x000001);
    EXPECT_EQ(original.colorAt(1, 1), 0xABCDEFu);
    EXPECT_NE(copy.block(), original.block());

    CDib assigned;
    assigned = original;
    EXPECT_EQ(assigned.colorAt(1, 1), 0xABCDEFu);

    CDib moved = std::move(original);
    EXPECT_EQ(moved.colorAt(1, 1), 0xABCDEFu);
    EXPECT_TRUE(original.isEmpty());  // NOLINT(bugprone-use-after-move): the state is defined
    EXPECT_EQ(original.width(), 0);
    EXPECT_EQ(original.pixelAddress(0, 0), nullptr);

    CDib target;
    ASSERT_EQ(target.createBlank(2, 2, 8), 1);
    target = std::move(moved);
    EXPECT_EQ(target.bitCount(), 24);
    EXPECT_EQ(target.colorAt(1, 1), 0xABCDEFu);
    EXPECT_TRUE(moved.isEmpty());  // NOLINT(bugprone-use-after-move)
}

}  // namespace
