#include "media/grabber/yuvconversion.h"

#include <algorithm>
#include <cmath>

#include "imaging/luminance.h"

// The row loops are written for the auto-vectoriser; on x86-64 an AVX2 copy is chosen at run
// time when the processor has it.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define KIVO_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KIVO_VECTOR_CLONES
#endif

namespace kivo::grabber {
namespace {

constexpr int kFractionBits = 16;
constexpr int32_t kHalf = 1 << (kFractionBits - 1);
// Pixels per block of the grey loop; a block with an exact luminance boundary is redone.
constexpr int kGreyBlock = 16;

struct Primaries {
    double kr;
    double kb;
};

Primaries primariesOf(YuvStandard standard) {
    switch (standard) {
        case YuvStandard::Bt709:
            return {0.2126, 0.0722};
        case YuvStandard::Smpte240:
            return {0.212, 0.087};
        case YuvStandard::Bt2020:
            return {0.2627, 0.0593};
        case YuvStandard::Bt601:
            break;
    }
    return {0.299, 0.114};
}

int32_t fixed(double value) {
    return static_cast<int32_t>(std::lround(value * (1 << kFractionBits)));
}

inline int32_t clampByte(int32_t value) {
    return std::clamp(value, 0, 255);
}

KIVO_VECTOR_CLONES
void spreadChroma(const uint8_t *cb, const uint8_t *cr, int chromaWidth, int chromaShift,
                  const YuvMatrix &m, int32_t *red, int32_t *green, int32_t *blue) {
    if (chromaShift == 0) {
        for (int i = 0; i < chromaWidth; ++i) {
            const int32_t u = cb[i] - 128;
            const int32_t v = cr[i] - 128;
            red[i] = m.redFromV * v;
            green[i] = -(m.greenFromU * u + m.greenFromV * v);
            blue[i] = m.blueFromU * u;
        }
        return;
    }
    for (int i = 0; i < chromaWidth; ++i) {
        const int32_t u = cb[i] - 128;
        const int32_t v = cr[i] - 128;
        const int32_t r = m.redFromV * v;
        const int32_t g = -(m.greenFromU * u + m.greenFromV * v);
        const int32_t b = m.blueFromU * u;
        red[2 * i] = red[2 * i + 1] = r;
        green[2 * i] = green[2 * i + 1] = g;
        blue[2 * i] = blue[2 * i + 1] = b;
    }
}

KIVO_VECTOR_CLONES
void bgrRow(const uint8_t *luma, const int32_t *red, const int32_t *green, const int32_t *blue,
            int width, int32_t lumaOffset, int32_t lumaScale, uint8_t *bgr) {
    for (int x = 0; x < width; ++x) {
        const int32_t y = (luma[x] - lumaOffset) * lumaScale + kHalf;
        bgr[3 * x] = static_cast<uint8_t>(clampByte((y + blue[x]) >> kFractionBits));
        bgr[3 * x + 1] = static_cast<uint8_t>(clampByte((y + green[x]) >> kFractionBits));
        bgr[3 * x + 2] = static_cast<uint8_t>(clampByte((y + red[x]) >> kFractionBits));
    }
}

// Luminance of the pixels [begin, end) through the double formula's exact decision; used for
// the few blocks in which some colour lands on a whole-number boundary.
void exactGrey(const uint8_t *luma, const int32_t *red, const int32_t *green, const int32_t *blue,
               int begin, int end, int32_t lumaOffset, int32_t lumaScale, uint8_t *grey) {
    for (int x = begin; x < end; ++x) {
        const int32_t y = (luma[x] - lumaOffset) * lumaScale + kHalf;
        const auto r = static_cast<unsigned>(clampByte((y + red[x]) >> kFractionBits));
        const auto g = static_cast<unsigned>(clampByte((y + green[x]) >> kFractionBits));
        const auto b = static_cast<unsigned>(clampByte((y + blue[x]) >> kFractionBits));
        grey[x] = static_cast<uint8_t>(kivo::luminance::fromRgb(r, g, b));
    }
}

KIVO_VECTOR_CLONES
void greyRow(const uint8_t *luma, const int32_t *red, const int32_t *green, const int32_t *blue,
             int width, int32_t lumaOffset, int32_t lumaScale, uint8_t *grey) {
    int x = 0;
    for (; x + kGreyBlock <= width; x += kGreyBlock) {
        // 1000 x (0.299 R + 0.587 G + 0.114 B + 0.5) is an exact integer; its quotient is the
        // double formula's result except when the remainder is zero.
        uint32_t onBoundary = 0;
        for (int k = x; k < x + kGreyBlock; ++k) {
            const int32_t y = (luma[k] - lumaOffset) * lumaScale + kHalf;
            const auto r = static_cast<uint32_t>(clampByte((y + red[k]) >> kFractionBits));
            const auto g = static_cast<uint32_t>(clampByte((y + green[k]) >> kFractionBits));
            const auto b = static_cast<uint32_t>(clampByte((y + blue[k]) >> kFractionBits));
            const uint32_t scaled = 299u * r + 587u * g + 114u * b + 500u;
            const uint32_t whole = scaled / 1000u;
            grey[k] = static_cast<uint8_t>(whole);
            onBoundary |= static_cast<uint32_t>(whole * 1000u == scaled);
        }
        if (onBoundary != 0) {
            exactGrey(luma, red, green, blue, x, x + kGreyBlock, lumaOffset, lumaScale, grey);
        }
    }
    exactGrey(luma, red, green, blue, x, width, lumaOffset, lumaScale, grey);
}

}  // namespace

YuvMatrix makeYuvMatrix(YuvStandard standard, bool fullRange) {
    const Primaries p = primariesOf(standard);
    const double kg = 1.0 - p.kr - p.kb;
    const double lumaScale = fullRange ? 1.0 : 255.0 / 219.0;
    const double chromaScale = fullRange ? 1.0 : 255.0 / 224.0;
    YuvMatrix m;
    m.lumaOffset = fullRange ? 0 : 16;
    m.lumaScale = fixed(lumaScale);
    m.redFromV = fixed(2.0 * (1.0 - p.kr) * chromaScale);
    m.greenFromU = fixed(2.0 * (1.0 - p.kb) * p.kb / kg * chromaScale);
    m.greenFromV = fixed(2.0 * (1.0 - p.kr) * p.kr / kg * chromaScale);
    m.blueFromU = fixed(2.0 * (1.0 - p.kb) * chromaScale);
    return m;
}

CYuvRowConverter::CYuvRowConverter(const YuvMatrix &matrix, int width, int chromaShift)
    : m_matrix(matrix),
      m_width(width),
      m_chromaShift(chromaShift),
      // One spare entry so that an odd width can spread its last chroma sample in pairs.
      m_redTerm(static_cast<size_t>(width) + 1),
      m_greenTerm(static_cast<size_t>(width) + 1),
      m_blueTerm(static_cast<size_t>(width) + 1) {}

void CYuvRowConverter::prepareChroma(const uint8_t *cb, const uint8_t *cr) {
    const int chromaWidth = (m_width + (1 << m_chromaShift) - 1) >> m_chromaShift;
    spreadChroma(cb, cr, chromaWidth, m_chromaShift, m_matrix, m_redTerm.data(), m_greenTerm.data(),
                 m_blueTerm.data());
}

void CYuvRowConverter::toBgr(const uint8_t *luma, const uint8_t *cb, const uint8_t *cr,
                             uint8_t *bgr) {
    prepareChroma(cb, cr);
    bgrRow(luma, m_redTerm.data(), m_greenTerm.data(), m_blueTerm.data(), m_width,
           m_matrix.lumaOffset, m_matrix.lumaScale, bgr);
}

void CYuvRowConverter::toGrey(const uint8_t *luma, const uint8_t *cb, const uint8_t *cr,
                              uint8_t *grey) {
    prepareChroma(cb, cr);
    greyRow(luma, m_redTerm.data(), m_greenTerm.data(), m_blueTerm.data(), m_width,
            m_matrix.lumaOffset, m_matrix.lumaScale, grey);
}

}  // namespace kivo::grabber
