#include "segmenter/framefeatures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "imaging/dib.h"
#include "segmenter/neuralnetwork.h"

namespace kivo {
namespace {

// Pixels whose table cells are worked out together before they are counted.
constexpr int kStep = 16;

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

CPairScan::CPairScan() : m_pairs(kPairLanes * kPairCells, 0) {
    std::memset(m_grey, 0, sizeof m_grey);
}

void CPairScan::reset() {
    if (m_paired) {
        std::fill(m_pairs.begin(), m_pairs.end(), 0u);
        m_paired = false;
    }
    std::memset(m_grey, 0, sizeof m_grey);
}

void CPairScan::addPairRow(const uint8_t *previous, const uint8_t *current, int width,
                           const uint8_t *upcoming) {
    m_paired = true;
    // One prefetch a step (four to a cache line) rides along with the counting; without an
    // upcoming row they touch the row being read, which costs next to nothing.
    const uint8_t *ahead = upcoming != nullptr ? upcoming : previous;
    uint32_t *even = m_pairs.data();
    uint32_t *odd = even + kPairCells;
    int x = 0;
#ifdef __SSE2__
    // The cell previous << 8 | (255 - current) is the byte pair (255 - current, previous): two
    // interleaves make the cells of sixteen pixels, and the counting only loads them.
    const __m128i ones = _mm_set1_epi8(-1);
    alignas(16) uint16_t cells[kStep];
    for (; x + kStep <= width; x += kStep) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(previous + x));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(current + x));
        _mm_prefetch(reinterpret_cast<const char *>(ahead + x), _MM_HINT_T0);
        // An unchanged flat stretch (letterbox bars, static backgrounds) is a single count:
        // every byte equals its neighbour and the previous picture's byte.
        const int unchanged = _mm_movemask_epi8(_mm_cmpeq_epi8(a, b));
        const int flat = _mm_movemask_epi8(_mm_cmpeq_epi8(b, _mm_slli_si128(b, 1))) | 1;
        const __m128i low = _mm_unpacklo_epi8(_mm_xor_si128(b, ones), a);
        if ((unchanged & flat) == 0xFFFF) {
            even[_mm_cvtsi128_si32(low) & 0xFFFF] += kStep;
            continue;
        }
        _mm_store_si128(reinterpret_cast<__m128i *>(cells), low);
        _mm_store_si128(reinterpret_cast<__m128i *>(cells + 8),
                        _mm_unpackhi_epi8(_mm_xor_si128(b, ones), a));
        for (int k = 0; k < kStep; k += 2) {
            ++even[cells[k]];
            ++odd[cells[k + 1]];
        }
    }
#endif
    for (; x < width; ++x) {
        ++even[previous[x] << 8 | (255 - current[x])];
    }
}

void CPairScan::addRow(const uint8_t *current, int width) {
    int x = 0;
    for (; x + kGreyLanes <= width; x += kGreyLanes) {
        for (int lane = 0; lane < kGreyLanes; ++lane) {
            ++m_grey[lane][current[x + lane]];
        }
    }
    for (int lane = 0; x < width; ++x, ++lane) {
        ++m_grey[lane][current[x]];
    }
}

void CPairScan::takeHistograms(DifferenceHistogram &differences, GreyHistogram &grey) {
    // Sums of locals the table cannot alias, so the compiler keeps the loops wide.
    uint32_t sums[2 * kLevels] = {};
    uint32_t columns[kLevels] = {};
    if (m_paired) {
        // Row p, column c is the difference p - (255 - c) + 255 = p + c; column c counts the
        // current level 255 - c.
        for (size_t p = 0; p < kLevels; ++p) {
            uint32_t *even = m_pairs.data() + p * kLevels;
            uint32_t *odd = even + kPairCells;
            uint32_t *shifted = sums + p;
            for (size_t c = 0; c < kLevels; ++c) {
                const uint32_t count = even[c] + odd[c];
                shifted[c] += count;
                columns[c] += count;
            }
            std::fill_n(even, kLevels, 0u);
            std::fill_n(odd, kLevels, 0u);
        }
        m_paired = false;
    }
    std::copy_n(sums, differences.size(), differences.begin());
    greyHistogram(grey);
    for (size_t v = 0; v < kLevels; ++v) {
        grey[v] += columns[kLevels - 1 - v];
    }
    std::memset(m_grey, 0, sizeof m_grey);
}

void CPairScan::greyHistogram(GreyHistogram &grey) const {
    for (size_t v = 0; v < grey.size(); ++v) {
        uint32_t sum = 0;
        for (int lane = 0; lane < kGreyLanes; ++lane) {
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
    scan.takeHistograms(differences, currentHistogram);
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
