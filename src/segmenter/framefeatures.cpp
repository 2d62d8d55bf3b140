#include "segmenter/framefeatures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/dib.h"
#include "segmenter/neuralnetwork.h"

namespace kivo {
namespace {

// Interleaved copies of each histogram, merged at the end: consecutive equal pixels (the rule in
// real pictures) would otherwise wait on the previous increment of the same counter.
constexpr int kLanes = 4;
// Pixels compared at once, and the word with every byte 1.
constexpr int kWord = 8;
constexpr uint64_t kEveryByte = 0x0101010101010101u;

double deviation(double meanOfSquares, double mean) {
    // Rounding can take the difference a hair below zero for constant data.
    return std::sqrt(std::max(0.0, meanOfSquares - mean * mean));
}

}  // namespace

GreyPlane greyPlaneOf(const CDib &picture) {
    if (picture.isEmpty() || picture.bitCount() != 8) {
        return {};
    }
    return {picture.bits(), picture.stride(), picture.width(), picture.height()};
}

void computeGreyHistogram(const GreyPlane &plane, GreyHistogram &histogram) {
    uint32_t lanes[kLanes][256] = {};
    const int width = plane.width;
    for (int y = 0; y < plane.height; ++y) {
        const uint8_t *row = plane.rows + y * plane.stride;
        int x = 0;
        for (; x + kLanes <= width; x += kLanes) {
            for (int lane = 0; lane < kLanes; ++lane) {
                ++lanes[lane][row[x + lane]];
            }
        }
        for (int lane = 0; x < width; ++x, ++lane) {
            ++lanes[lane][row[x]];
        }
    }
    for (size_t v = 0; v < histogram.size(); ++v) {
        uint32_t sum = 0;
        for (int lane = 0; lane < kLanes; ++lane) {
            sum += lanes[lane][v];
        }
        histogram[v] = sum;
    }
}

void computePairHistograms(const GreyPlane &previous, const GreyPlane &current,
                           DifferenceHistogram &differences, GreyHistogram &currentHistogram) {
    // Indexed by previous - current + 255, 0 .. 510.
    uint32_t difference[kLanes][512] = {};
    uint32_t grey[kLanes][256] = {};
    // Pixels that did not change at all. Decoded video repeats unchanged areas byte for byte
    // (static backgrounds, letterbox bars), so whole words of them are counted at once.
    uint64_t unchanged = 0;
    const int width = std::min(previous.width, current.width);
    const int height = std::min(previous.height, current.height);
    for (int y = 0; y < height; ++y) {
        const uint8_t *a = previous.rows + y * previous.stride;
        const uint8_t *b = current.rows + y * current.stride;
        int x = 0;
        for (; x + kWord <= width; x += kWord) {
            uint64_t wordA;
            uint64_t wordB;
            std::memcpy(&wordA, a + x, kWord);
            std::memcpy(&wordB, b + x, kWord);
            if (wordA == wordB) {
                unchanged += kWord;
                const uint64_t level = wordB & 0xFF;
                if (wordB == level * kEveryByte) {
                    grey[0][level] += kWord;
                } else {
                    for (int k = 0; k < kWord; ++k) {
                        ++grey[k % kLanes][b[x + k]];
                    }
                }
                continue;
            }
            for (int k = 0; k < kWord; ++k) {
                ++difference[k % kLanes][a[x + k] - b[x + k] + 255];
                ++grey[k % kLanes][b[x + k]];
            }
        }
        for (; x < width; ++x) {
            ++difference[0][a[x] - b[x] + 255];
            ++grey[0][b[x]];
        }
    }
    difference[0][255] += static_cast<uint32_t>(unchanged);
    for (size_t j = 0; j < differences.size(); ++j) {
        uint32_t sum = 0;
        for (int lane = 0; lane < kLanes; ++lane) {
            sum += difference[lane][j];
        }
        differences[j] = sum;
    }
    for (size_t v = 0; v < currentHistogram.size(); ++v) {
        uint32_t sum = 0;
        for (int lane = 0; lane < kLanes; ++lane) {
            sum += grey[lane][v];
        }
        currentHistogram[v] = sum;
    }
}

FrameFeatures featuresFromHistograms(const DifferenceHistogram &differences,
                                     const GreyHistogram &previousHistogram,
                                     const GreyHistogram &currentHistogram, size_t pixelCount) {
    FrameFeatures features{};
    if (pixelCount == 0) {
        return features;
    }
    const double n = static_cast<double>(pixelCount);

    // The absolute differences, folded from the signed ones: bin d = D[255 + d] + D[255 - d].
    uint64_t absoluteSum = 0;
    for (uint64_t d = 1; d <= 255; ++d) {
        absoluteSum += d * (uint64_t{differences[255 + d]} + differences[255 - d]);
    }
    features[kMeanDifference] = static_cast<double>(absoluteSum) / n;

    uint64_t histogramSum = 0;
    for (size_t v = 0; v < 256; ++v) {
        const int64_t delta = int64_t{previousHistogram[v]} - int64_t{currentHistogram[v]};
        histogramSum += static_cast<uint64_t>(delta < 0 ? -delta : delta);
    }
    features[kHistogramDifference] = static_cast<double>(histogramSum) * 100.0 / n;

    uint64_t countSum = 0;
    uint64_t countSquares = 0;
    for (uint32_t count : differences) {
        countSum += count;
        countSquares += uint64_t{count} * count;
    }
    features[kDifferenceSpread] = deviation(static_cast<double>(countSquares) * kOneOver511,
                                            static_cast<double>(countSum) * kOneOver511) *
                                  1000.0 / n;

    uint64_t total = 0;
    uint64_t levelSum = 0;
    uint64_t levelSquares = 0;
    for (uint64_t v = 0; v < 256; ++v) {
        const uint64_t count = previousHistogram[v];
        total += count;
        levelSum += v * count;
        levelSquares += v * v * count;
    }
    if (total > 0) {
        const double t = static_cast<double>(total);
        features[kGreySpread] =
            deviation(static_cast<double>(levelSquares) / t, static_cast<double>(levelSum) / t);
    }
    return features;
}

double cutScoreOf(CNeuralNetwork &network, const FrameFeatures &features) {
    double outputs[2] = {};
    if (network.layerCount() < 2 || network.layerSize(network.layerCount() - 1) < 2 ||
        !network.Run(std::span(features).first(3), outputs)) {
        return 0.0;
    }
    return outputs[0] - outputs[1];
}

FrameFeatures analyzeFramePair(const GreyPlane &previous, const GreyPlane &current,
                               const GreyHistogram &previousHistogram,
                               GreyHistogram &currentHistogram, CNeuralNetwork &network) {
    DifferenceHistogram differences;
    computePairHistograms(previous, current, differences, currentHistogram);
    FrameFeatures features = featuresFromHistograms(differences, previousHistogram,
                                                    currentHistogram, current.pixelCount());
    features[kCutScore] = cutScoreOf(network, features);
    return features;
}

}  // namespace kivo
