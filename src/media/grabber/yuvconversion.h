#pragma once

#include <cstdint>
#include <vector>

// Conversion of 8-bit planar Y'CbCr rows into the 24-bit BGR rows of a picture and straight into
// the grey rows of its grey copy. Both outputs come from the same integer colour arithmetic, so
// the grey row is exactly what the luminance of the BGR row would give, without writing the BGR
// row first. Chroma is taken from the sample that covers the pixel (no interpolation).
namespace kivo::grabber {

// 16.16 fixed-point coefficients of one conversion matrix and range.
struct YuvMatrix {
    int32_t lumaOffset = 16;
    int32_t lumaScale = 0;
    int32_t redFromV = 0;
    int32_t greenFromU = 0;
    int32_t greenFromV = 0;
    int32_t blueFromU = 0;
};

enum class YuvStandard { Bt601, Bt709, Smpte240, Bt2020 };

YuvMatrix makeYuvMatrix(YuvStandard standard, bool fullRange);

// Converts rows of one picture; keeps the per-row chroma terms between calls.
class CYuvRowConverter {
public:
    // chromaShift: log2 of the horizontal chroma subsampling (0 or 1).
    CYuvRowConverter(const YuvMatrix &matrix, int width, int chromaShift);

    void toBgr(const uint8_t *luma, const uint8_t *cb, const uint8_t *cr, uint8_t *bgr);
    void toGrey(const uint8_t *luma, const uint8_t *cb, const uint8_t *cr, uint8_t *grey);

private:
    void prepareChroma(const uint8_t *cb, const uint8_t *cr);

    YuvMatrix m_matrix;
    int m_width;
    int m_chromaShift;
    // Chroma contributions of every pixel of the row, already spread to full width.
    std::vector<int32_t> m_redTerm;
    std::vector<int32_t> m_greenTerm;
    std::vector<int32_t> m_blueTerm;
};

}  // namespace kivo::grabber
