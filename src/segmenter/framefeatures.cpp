#include "segmenter/framefeatures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/dib.h"
#include "segmenter/neuralnetwork.h"

namespace kivo {
namespace {

// Pixels compared at once, pixels whose difference bins are worked out together before they are
// counted, and the word with every byte 1.
constexpr int kWord = 8;
constexpr int kBlock = 64;
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

void CPairScan::reset() {
    std::memset(m_difference, 0, sizeof m_difference);
    std::memset(m_grey, 0, sizeof m_grey);
    m_unchanged = 0;
}

// Inlined into the row loops: a call per word would cost as much as the counting itself.
[[gnu::always_inline]] inline void CPairScan::countWord(const uint8_t *previous,
                                                        const uint8_t *current,
                                                        const uint16_t *bins) {
    uint64_t wordA;
    uint64_t wordB;
    std::memcpy(&wordA, previous, kWord);
    std::memcpy(&wordB, current, kWord);
    if (wordA == wordB) {
        // Decoded video repeats unchanged areas byte for byte (static backgrounds, letterbox
        // bars), so whole words of them are counted at once.
        m_unchanged += kWord;
        const uint64_t level = wordB & 0xFF;
        if (wordB == level * kEveryByte) {
            m_grey[0][level] += kWord;
            return;
        }
        for (int k = 0; k < kWord; ++k) {
            ++m_grey[k % kLanes][current[k]];
        }
        return;
    }
    for (int k = 0; k < kWord; ++k) {
        ++m_difference[k % kLanes][bins[k]];
        ++m_grey[k % kLanes][current[k]];
    }
}

void CPairScan::addPairRow(const uint8_t *previous, const uint8_t *current, int width) {
    uint16_t bins[kBlock];
    int x = 0;
    // The bins of a block are one vector subtraction; the counting then only loads them.
    for (; x + kBlock <= width; x += kBlock) {
        for (int k = 0; k < kBlock; ++k) {
            bins[k] = static_cast<uint16_t>(previous[x + k] - current[x + k] + 255);
        }
        for (int k = 0; k < kBlock; k += kWord) {
            countWord(previous + x + k, current + x + k, bins + k);
        }
    }
    for (; x + kWord <= width; x += kWord) {
        for (int k = 0; k < kWord; ++k) {
            bins[k] = static_cast<uint16_t>(previous[x + k] - current[x + k] + 255);
        }
        countWord(previous + x, current + x, bins);
    }
    for (; x < width; ++x) {
        ++m_difference[0][previous[x] - current[x] + 255];
        ++m_grey[0][current[x]];
    }
}

void CPairScan::addRow(const uint8_t *current, int width) {
    int x = 0;
    for (; x + kLanes <= width; x += kLanes) {
        for (int lane = 0; lane < kLanes; ++lane) {
            ++m_grey[lane][current[x + lane]];
        }
    }
    for (int lane = 0; x < width; ++x, ++lane) {
        ++m_grey[lane][current[x]];
    }
}

void CPairScan::histograms(DifferenceHistogram &differences, GreyHistogram &grey) const {
    for (size_t j = 0; j < differences.size(); ++j) {
        uint32_t sum = 0;
        for (int lane = 0; lane < kLanes; ++lane) {
            sum += m_difference[lane][j];
        }
        differences[j] = sum;
    }
    differences[255] += static_cast<uint32_t>(m_unchanged);
    greyHistogram(grey);
}

void CPairScan::greyHistogram(GreyHistogram &grey) const {
    for (size_t v = 0; v < grey.size(); ++v) {
        uint32_t sum = 0;
        for (int lane = 0; lane < kLanes; ++lane) {
            sum += m_grey[lane][v];
        }
        grey[v] = sum;
    }
}

void computeGreyHistogram(const GreyPlane &plane, GreyHistogram &histogram) {
    CPairScan scan;
    for (int y = 0; y < plane.height; ++y) {
        scan.addRow(plane.rows + y * plane.stride, plane.width);
    }
    scan.greyHistogram(histogram);
}

void computePairHistograms(const GreyPlane &previous, const GreyPlane &current,
                           DifferenceHistogram &differences, GreyHistogram &currentHistogram) {
    CPairScan scan;
    const int width = std::min(previous.width, current.width);
    const int height = std::min(previous.height, current.height);
    for (int y = 0; y < height; ++y) {
        scan.addPairRow(previous.rows + y * previous.stride, current.rows + y * current.stride,
                        width);
    }
    scan.histograms(differences, currentHistogram);
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
