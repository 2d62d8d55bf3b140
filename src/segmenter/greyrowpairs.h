#pragma once

#include <cstdint>
#include <vector>

#include "segmenter/framefeatures.h"

class CDib;

// The pair histograms of a walk's consecutive grey pictures, counted row by row while each
// picture is being made. The previous picture's rows are kept in a buffer of their own, top
// row first without padding (the order in which the rows of the next picture arrive), so the
// walk needs no access to pictures it has handed on.
class CGreyRowPairs {
public:
    // A new picture of width x height begins; it is paired with the previous one when that
    // had the same size.
    void begin(int width, int height);
    // Row `row` (from the top) of the picture begun last.
    void addRow(int row, const uint8_t *grey);
    // The picture begun last is complete: its histograms go to the arguments (the differences
    // only when paired) and it becomes the previous picture. Returns whether it was paired.
    bool finish(kivo::DifferenceHistogram &differences, kivo::GreyHistogram &grey);

private:
    kivo::CPairScan m_scan;
    // The rows of the previous and of the current picture.
    std::vector<uint8_t> m_previous;
    std::vector<uint8_t> m_current;
    int m_width = 0;
    int m_height = 0;
    int m_previousWidth = 0;
    int m_previousHeight = 0;
    bool m_paired = false;
};
