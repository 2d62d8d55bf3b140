#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class CDib;
class CNeuralNetwork;

// The difference features of a pair of consecutive 8-bit grey frames, computed from exact integer
// histograms in a single scan of both pictures.
namespace kivo {

// Rows of an 8-bit picture. The row order does not matter as long as both pictures of a pair
// use the same one.
struct GreyPlane {
    const uint8_t *rows = nullptr;  // first row
    ptrdiff_t stride = 0;           // bytes from one row to the next
    int width = 0;
    int height = 0;

    size_t pixelCount() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
};

// The rows of an 8-bit CDib; an empty plane for any other picture.
GreyPlane greyPlaneOf(const CDib &picture);

using GreyHistogram = std::array<uint32_t, 256>;
// Counts of the signed differences previous - current, bin j holding difference j - 255.
using DifferenceHistogram = std::array<uint32_t, 511>;

enum FeatureIndex {
    kMeanDifference = 0,       // mean absolute grey difference, 0 .. 255
    kHistogramDifference = 1,  // sum of |h_prev - h_cur| x 100 / N, 0 .. 200
    kDifferenceSpread = 2,     // population deviation of the 511 difference counts x 1000 / N
    kGreySpread = 3,           // deviation of the grey levels of the earlier frame, 0 .. 127.5
    kCutScore = 4,             // network output 0 minus output 1, -1 .. +1
    kFeatureCount = 5,
};

using FrameFeatures = std::array<double, kFeatureCount>;

// 1/511 as the detector has always applied it.
inline constexpr double kOneOver511 = 0.0019569471624266144;

// The scan of a pair fed one row at a time, for a caller that sees the rows as they are made: the
// walk counts each grey row right after converting it, while the row is still in the cache.
//
// Each pixel is counted once, in a table of pairs (previous level, 255 - current level): the
// signed difference previous - current + 255 is then row + column, so both histograms are sums
// over the table (its columns, and its rows shifted by the row number), taken once per picture.
class CPairScan {
public:
    CPairScan();

    // Forgets the counts: the next rows belong to a new picture.
    void reset();
    // Counts `current`'s row and its differences from the same row of `previous`. With
    // `upcoming`, the row of the previous picture that comes next, that row is fetched into the
    // cache meanwhile: the previous picture has mostly left it while the decoder worked.
    void addPairRow(const uint8_t *previous, const uint8_t *current, int width,
                    const uint8_t *upcoming = nullptr);
    // Counts a row of a picture without a predecessor: grey levels only.
    void addRow(const uint8_t *current, int width);

    // The counts so far; the differences are all zero when only addRow() was used. The scan is
    // left empty as by reset(): the pair table is cleared in the pass that sums it.
    void takeHistograms(DifferenceHistogram &differences, GreyHistogram &grey);
    // The levels of the rows counted by addRow(); rows counted in pairs are in the pair table,
    // which takeHistograms() sums.
    void greyHistogram(GreyHistogram &grey) const;

private:
    // Interleaved copies of the counts, merged at the end: consecutive equal pixels (the rule in
    // real pictures) would otherwise wait on the previous increment of the same counter.
    static constexpr int kPairLanes = 2;
    static constexpr int kGreyLanes = 4;
    static constexpr size_t kLevels = 256;
    static constexpr size_t kPairCells = kLevels * kLevels;

    // kPairLanes tables of kPairCells counts, cell previous * 256 + (255 - current).
    std::vector<uint32_t> m_pairs;
    // Levels of rows without a predecessor.
    uint32_t m_grey[kGreyLanes][kLevels];
    // Whether the pair tables hold counts (they are cleared only then).
    bool m_paired = false;
};

void computeGreyHistogram(const GreyPlane &plane, GreyHistogram &histogram);

// One scan of a pair of equally sized planes: the signed-difference histogram and the grey
// histogram of `current`.
void computePairHistograms(const GreyPlane &previous, const GreyPlane &current,
                           DifferenceHistogram &differences, GreyHistogram &currentHistogram);

// Features 0..3 from the histograms of a pair of `pixelCount` pixels; the cut score is left 0.
FrameFeatures featuresFromHistograms(const DifferenceHistogram &differences,
                                     const GreyHistogram &previousHistogram,
                                     const GreyHistogram &currentHistogram, size_t pixelCount);

// Output 0 minus output 1 of the network on the first three features; 0 when it cannot run.
double cutScoreOf(CNeuralNetwork &network, const FrameFeatures &features);

// All five features of the pair (previous, current). `previousHistogram` is the grey histogram
// of `previous`; `currentHistogram` receives that of `current`. The planes must have the same
// size.
FrameFeatures analyzeFramePair(const GreyPlane &previous, const GreyPlane &current,
                               const GreyHistogram &previousHistogram,
                               GreyHistogram &currentHistogram, CNeuralNetwork &network);

}  // namespace kivo
