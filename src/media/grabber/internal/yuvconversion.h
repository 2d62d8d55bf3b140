#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Conversion of 8-bit planar Y'CbCr rows into the 24-bit BGR rows of a picture and straight into
// the grey rows of its grey copy. Both outputs come from the same integer colour arithmetic, so
// the grey row is exactly the luminance of the BGR row, without writing the BGR row first.
//
// Colour model, in the arithmetic of a rounding 16-bit multiply, mulhrs(a, b) = (a b + 2^14)
// >> 15: each pixel's luma level L = mulhrs((Y - offset) << 6, lumaScale), each chroma sample's
// offsets dR = mulhrs((V - 128) << 4, redFromV), dG = -(mulhrs((U - 128) << 4, greenFromU) +
// mulhrs((V - 128) << 4, greenFromV)), dB = mulhrs((U - 128) << 4, blueFromU); then
// R = clamp(L + dR), G = clamp(L + dG), B = clamp(L + dB). Chroma is taken from the sample that
// covers the pixel (no interpolation).
namespace kivo::grabber {

struct YuvMatrix {
    int16_t lumaOffset = 16;
    int16_t lumaScale = 0;  // 7.9 fixed point
    int16_t redFromV = 0;   // 5.11 fixed point from here on
    int16_t greenFromU = 0;
    int16_t greenFromV = 0;
    int16_t blueFromU = 0;
};

enum class YuvStandard { Bt601, Bt709, Smpte240, Bt2020 };

YuvMatrix makeYuvMatrix(YuvStandard standard, bool fullRange);

// The row code: the portable one, the AVX2 one, or the fastest the processor has (AVX-512 for
// chroma terms and grey rows, else AVX2, else portable). All give the same bytes; the choice only
// exists so that tests can hold them against each other. A kernel the processor lacks falls back to
// portable.
enum class RowKernel { Portable, Avx2, Fastest };

// Converts the rows of one picture: set the chroma row, then convert the luma rows it covers
// (two in 4:2:0 pictures).
class CYuvRowConverter {
public:
    // chromaShift: log2 of the horizontal chroma subsampling (0 or 1).
    CYuvRowConverter(const YuvMatrix &matrix, int width, int chromaShift,
                     RowKernel kernel = RowKernel::Fastest);

    void setChroma(const uint8_t *cb, const uint8_t *cr);
    void toBgr(const uint8_t *luma, uint8_t *bgr) const;
    void toGrey(const uint8_t *luma, uint8_t *grey) const;

private:
    YuvMatrix m_matrix;
    int m_width;
    int m_chromaShift;
    bool m_vector;  // AVX2
    bool m_wide;    // AVX-512 for chroma terms and grey rows
    // Six rows of 16-bit terms, each spread from the chroma samples to every pixel and padded so
    // that the vector code may run over the last partial step: dR, dG, dB; and for the vector
    // grey code floor((299 dR + 587 dG + 114 dB + 500) / 1000) and the lowest and highest luma
    // levels at which no channel clamps (an empty range for a sample on a luminance boundary).
    size_t m_stride;
    std::vector<int16_t> m_terms;
};

}  // namespace kivo::grabber
