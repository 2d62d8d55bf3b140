#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "imaging/dib.h"
#include "segmenter/framefeatures.h"
#include "segmenter/neuralnetwork.h"
#include "segmenter/resources.h"

using namespace kivo;

namespace {

// An 8-bit picture in a buffer with padded rows; the padding is filled with junk so that a scan
// reading past the row width shows.
struct Picture {
    Picture(int w, int h, int stride) : width(w), height(h), rowStride(stride) {
        bytes.assign(static_cast<size_t>(stride) * static_cast<size_t>(h), 0xA5);
    }
    uint8_t &at(int x, int y) {
        return bytes[static_cast<size_t>(y) * static_cast<size_t>(rowStride) +
                     static_cast<size_t>(x)];
    }
    void fill(uint8_t value) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                at(x, y) = value;
            }
        }
    }
    GreyPlane plane() const { return {bytes.data(), rowStride, width, height}; }

    int width;
    int height;
    int rowStride;
    std::vector<uint8_t> bytes;
};

CNeuralNetwork shippedNetwork() {
    return CNeuralNetwork(kWeightResourceId, kWeightResourceType);
}

FrameFeatures featuresOf(const Picture &previous, const Picture &current) {
    CNeuralNetwork network = shippedNetwork();
    GreyHistogram previousHistogram;
    GreyHistogram currentHistogram;
    computeGreyHistogram(previous.plane(), previousHistogram);
    return analyzeFramePair(previous.plane(), current.plane(), previousHistogram, currentHistogram,
                            network);
}

double spikeSpread(double n) {
    return std::sqrt(n * n / 511.0 - (n / 511.0) * (n / 511.0)) * 1000.0 / n;
}

}  // namespace

TEST(FrameFeatures, IdenticalFramesGiveTheStatedValues) {
    Picture picture(37, 11, 40);  // odd width: the last pixels of each row take the tail path
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            picture.at(x, y) = (x + y) % 2 ? 255 : 0;
        }
    }
    const double n = 37.0 * 11.0;
    const FrameFeatures f = featuresOf(picture, picture);
    EXPECT_EQ(f[kMeanDifference], 0.0);
    EXPECT_EQ(f[kHistogramDifference], 0.0);
    EXPECT_DOUBLE_EQ(f[kDifferenceSpread], spikeSpread(n));
    EXPECT_NEAR(f[kDifferenceSpread], 44.19, 0.01);
    // 204 pixels of one level, 203 of the other.
    const double mean = 255.0 * 203.0 / n;
    EXPECT_DOUBLE_EQ(f[kGreySpread], std::sqrt(255.0 * 255.0 * 203.0 / n - mean * mean));
    EXPECT_LT(f[kCutScore], 0.0);
}

TEST(FrameFeatures, DifferencesFoldBothSigns) {
    struct Case {
        const char *name;
        uint8_t previousLeft, previousRight, currentLeft, currentRight;
        double mean, histogram, greySpread;
    };
    // Pictures of two halves.
    const Case cases[] = {
        {"uniform brighter", 10, 10, 20, 20, 10.0, 200.0, 0.0},
        {"uniform darker", 20, 20, 10, 10, 10.0, 200.0, 0.0},
        {"swapped halves", 0, 255, 255, 0, 255.0, 0.0, 127.5},
        {"one half changes", 0, 100, 0, 0, 50.0, 100.0, 50.0},
    };
    for (const Case &c : cases) {
        Picture previous(16, 8, 16);
        Picture current(16, 8, 16);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 16; ++x) {
                previous.at(x, y) = x < 8 ? c.previousLeft : c.previousRight;
                current.at(x, y) = x < 8 ? c.currentLeft : c.currentRight;
            }
        }
        const FrameFeatures f = featuresOf(previous, current);
        EXPECT_EQ(f[kMeanDifference], c.mean) << c.name;
        EXPECT_EQ(f[kHistogramDifference], c.histogram) << c.name;
        EXPECT_EQ(f[kGreySpread], c.greySpread) << c.name;
    }
}

TEST(FrameFeatures, DifferenceSpreadFollowsTheBinCounts) {
    // Half the pixels differ by +1, half by -1: two bins of N/2.
    Picture previous(10, 10, 12);
    Picture current(10, 10, 12);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            previous.at(x, y) = 100;
            current.at(x, y) = y < 5 ? 101 : 99;
        }
    }
    const FrameFeatures f = featuresOf(previous, current);
    const double n = 100.0;
    const double expected =
        std::sqrt(2 * 50.0 * 50.0 * kOneOver511 - (n * kOneOver511) * (n * kOneOver511)) * 1000.0 /
        n;
    EXPECT_EQ(f[kDifferenceSpread], expected);
    EXPECT_EQ(f[kMeanDifference], 1.0);
}

TEST(FrameFeatures, ScanMatchesAPixelByPixelCount) {
    std::mt19937 random(42);
    // One scan for every size, as the walk keeps one: taking the counts leaves it empty.
    CPairScan reused;
    for (int width : {1, 3, 4, 5, 8, 9, 17, 63, 64, 65, 72, 137, 321}) {
        const int height = 12;
        const int stride = (width + 3) / 4 * 4;
        Picture previous(width, height, stride);
        Picture current(width, height, stride);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                // Runs of equal values, as in real pictures, mixed with noise.
                previous.at(x, y) = static_cast<uint8_t>(random() % 3 ? x / 5 : random());
                switch (y % 4) {
                    case 0:  // changed everywhere
                        current.at(x, y) = static_cast<uint8_t>(random());
                        break;
                    case 1:  // unchanged, mostly not flat
                        current.at(x, y) = previous.at(x, y);
                        break;
                    case 2:  // flat, unchanged in the first half
                        current.at(x, y) = 77;
                        if (x < width / 2) {
                            previous.at(x, y) = 77;
                        }
                        break;
                    default:  // flat, changed only at every 16th pixel
                        current.at(x, y) = 90;
                        previous.at(x, y) = x % 16 == 0 ? 91 : 90;
                        break;
                }
            }
        }
        DifferenceHistogram expectedDifferences{};
        GreyHistogram expectedGrey{};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                ++expectedDifferences[static_cast<size_t>(previous.at(x, y) - current.at(x, y) +
                                                          255)];
                ++expectedGrey[current.at(x, y)];
            }
        }
        DifferenceHistogram differences;
        GreyHistogram grey;
        computePairHistograms(previous.plane(), current.plane(), differences, grey);
        EXPECT_EQ(differences, expectedDifferences) << width;
        EXPECT_EQ(grey, expectedGrey) << width;
        GreyHistogram single;
        computeGreyHistogram(current.plane(), single);
        EXPECT_EQ(single, expectedGrey) << width;
        for (int y = 0; y < height; ++y) {
            const uint8_t *upcoming = y + 1 < height ? &previous.at(0, y + 1) : nullptr;
            reused.addPairRow(&previous.at(0, y), &current.at(0, y), width, upcoming);
        }
        reused.takeHistograms(differences, grey);
        EXPECT_EQ(differences, expectedDifferences) << width;
        EXPECT_EQ(grey, expectedGrey) << width;
    }
}

TEST(FrameFeatures, UnrelatedPicturesScoreAsACut) {
    std::mt19937 random(7);
    Picture previous(64, 48, 64);
    Picture current(64, 48, 64);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            previous.at(x, y) = static_cast<uint8_t>(x * 4);
            current.at(x, y) = static_cast<uint8_t>(random() % 64 + 192);
        }
    }
    const FrameFeatures f = featuresOf(previous, current);
    EXPECT_GT(f[kCutScore], 0.95);
    EXPECT_LE(f[kCutScore], 1.0);
}

TEST(FrameFeatures, EmptyAndForeignPicturesGiveNothing) {
    Picture none(0, 0, 0);
    const FrameFeatures f = featuresOf(none, none);
    for (int i = kMeanDifference; i < kCutScore; ++i) {
        EXPECT_EQ(f[static_cast<size_t>(i)], 0.0);
    }
    CDib colour;
    ASSERT_EQ(colour.createBlank(8, 8, 24), 1);
    EXPECT_EQ(greyPlaneOf(colour).rows, nullptr);
    CDib grey;
    ASSERT_EQ(grey.createBlank(5, 3, 8), 1);
    const GreyPlane plane = greyPlaneOf(grey);
    EXPECT_EQ(plane.rows, grey.bits());
    EXPECT_EQ(plane.stride, 8);
    EXPECT_EQ(plane.pixelCount(), 15u);
}
