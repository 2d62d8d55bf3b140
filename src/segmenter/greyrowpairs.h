#pragma once

#include <cstdint>

#include "segmenter/framefeatures.h"

class CDib;

// The pair histograms of a walk's consecutive grey pictures, counted row by row while each
// picture is being made. The rows of the picture before are read where that picture lies, so
// nothing is copied: the caller keeps it alive until the new picture is finished.
class CGreyRowPairs {
public:
    // A new picture of width x height begins. It is paired with `previous`, the rows of the
    // picture before it from the top, when that has the same size; an empty plane starts afresh.
    void begin(int width, int height, const kivo::GreyPlane &previous);
    // Row `row` (from the top) of the picture begun last.
    void addRow(int row, const uint8_t *grey);
    // The picture begun last is complete: its histograms go to the arguments (the differences
    // only when paired). Returns whether it was paired.
    bool finish(kivo::DifferenceHistogram &differences, kivo::GreyHistogram &grey);

private:
    kivo::CPairScan m_scan;
    kivo::GreyPlane m_previous;
    int m_width = 0;
    int m_height = 0;
    bool m_paired = false;
};

// The rows of an 8-bit CDib from the top (a DIB keeps its bottom row first); an empty plane for
// any other picture or none.
kivo::GreyPlane topDownPlaneOf(const CDib *picture);
