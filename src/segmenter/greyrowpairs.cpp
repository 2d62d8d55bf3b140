#include "segmenter/greyrowpairs.h"

#include "imaging/dib.h"

void CGreyRowPairs::begin(int width, int height, const kivo::GreyPlane &previous) {
    m_width = width;
    m_height = height;
    m_paired = previous.rows != nullptr && previous.width == width && previous.height == height;
    m_previous = m_paired ? previous : kivo::GreyPlane{};
    m_scan.reset();
}

void CGreyRowPairs::addRow(int row, const uint8_t *grey) {
    if (row < 0 || row >= m_height) {
        return;
    }
    if (m_paired) {
        const uint8_t *previous = m_previous.rows + row * m_previous.stride;
        m_scan.addPairRow(previous, grey, m_width,
                          row + 1 < m_height ? previous + m_previous.stride : nullptr);
    } else {
        m_scan.addRow(grey, m_width);
    }
}

bool CGreyRowPairs::finish(kivo::DifferenceHistogram &differences, kivo::GreyHistogram &grey) {
    if (m_paired) {
        m_scan.takeHistograms(differences, grey);
    } else {
        m_scan.greyHistogram(grey);
    }
    return m_paired;
}

kivo::GreyPlane topDownPlaneOf(const CDib *picture) {
    const kivo::GreyPlane plane = picture ? kivo::greyPlaneOf(*picture) : kivo::GreyPlane{};
    if (plane.rows == nullptr) {
        return {};
    }
    return {plane.rows + (plane.height - 1) * plane.stride, -plane.stride, plane.width,
            plane.height};
}
