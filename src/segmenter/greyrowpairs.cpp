#include "segmenter/greyrowpairs.h"

#include <cstring>

void CGreyRowPairs::begin(int width, int height) {
    m_width = width;
    m_height = height;
    m_paired = width == m_previousWidth && height == m_previousHeight && !m_previous.empty();
    // Sized once per picture size; the rows are overwritten, never cleared.
    m_current.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    m_scan.reset();
}

void CGreyRowPairs::addRow(int row, const uint8_t *grey) {
    if (row < 0 || row >= m_height) {
        return;
    }
    const size_t offset = static_cast<size_t>(row) * static_cast<size_t>(m_width);
    if (m_paired) {
        m_scan.addPairRow(m_previous.data() + offset, grey, m_width);
    } else {
        m_scan.addRow(grey, m_width);
    }
    std::memcpy(m_current.data() + offset, grey, static_cast<size_t>(m_width));
}

bool CGreyRowPairs::finish(kivo::DifferenceHistogram &differences, kivo::GreyHistogram &grey) {
    if (m_paired) {
        m_scan.histograms(differences, grey);
    } else {
        m_scan.greyHistogram(grey);
    }
    m_previous.swap(m_current);
    m_previousWidth = m_width;
    m_previousHeight = m_height;
    return m_paired;
}
