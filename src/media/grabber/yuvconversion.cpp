#include "media/grabber/internal/yuvconversion.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "imaging/luminance.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define KIVO_HAVE_AVX2_KERNEL 1
#define KIVO_AVX2 __attribute__((target("avx2")))
#define KIVO_AVX512 __attribute__((target("avx512f,avx512bw,avx2")))
#endif

namespace kivo::grabber {
namespace {

constexpr int kLumaScaleBits = 9;
constexpr int kChromaScaleBits = 11;
// Pixels per step of the AVX2 code, and of the AVX-512 grey code; the term rows carry padding
// for two wide steps.
constexpr int kStep = 16;
constexpr int kWideStep = 32;
// A lowest level above every real level: keeps a chroma sample off the vector grey fast path.
constexpr int16_t kNeverFast = 32767;

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

int16_t fixed(double value, int fractionBits) {
    return static_cast<int16_t>(std::lround(value * (1 << fractionBits)));
}

inline int32_t clampByte(int32_t value) {
    return std::clamp(value, 0, 255);
}

// The vector code's rounding multiply (pmulhrsw).
inline int32_t mulhrs(int32_t a, int32_t b) {
    return (a * b + (1 << 14)) >> 15;
}

inline int32_t lumaLevel(int32_t luma, const YuvMatrix &m) {
    return mulhrs((luma - m.lumaOffset) * 64, m.lumaScale);
}

// The six term rows of a converter (see m_terms), to write (Value = int16_t) or to read.
template <typename Value>
struct TermRows {
    Value *red;
    Value *green;
    Value *blue;
    Value *greyOffset;
    Value *lowest;
    Value *highest;

    TermRows(Value *first, size_t stride)
        : red(first),
          green(first + stride),
          blue(first + 2 * stride),
          greyOffset(first + 3 * stride),
          lowest(first + 4 * stride),
          highest(first + 5 * stride) {}

    TermRows advancedBy(int pixels) const {
        return TermRows(red + pixels, green + pixels, blue + pixels, greyOffset + pixels,
                        lowest + pixels, highest + pixels);
    }

private:
    TermRows(Value *r, Value *g, Value *b, Value *offset, Value *low, Value *high)
        : red(r), green(g), blue(b), greyOffset(offset), lowest(low), highest(high) {}
};

using RowTerms = TermRows<const int16_t>;
using RowTermsOut = TermRows<int16_t>;

// The portable code; also the reference that the vector code is held to.

void chromaTermsPortable(const uint8_t *cb, const uint8_t *cr, int count, int chromaShift,
                         const YuvMatrix &m, const RowTermsOut &t) {
    for (int i = 0; i < count; ++i) {
        const int32_t u = (cb[i] - 128) * 16;
        const int32_t v = (cr[i] - 128) * 16;
        const auto r = static_cast<int16_t>(mulhrs(v, m.redFromV));
        const auto g = static_cast<int16_t>(-(mulhrs(u, m.greenFromU) + mulhrs(v, m.greenFromV)));
        const auto b = static_cast<int16_t>(mulhrs(u, m.blueFromU));
        const int first = i << chromaShift;
        for (int k = first; k < first + (1 << chromaShift); ++k) {
            t.red[k] = r;
            t.green[k] = g;
            t.blue[k] = b;
            t.lowest[k] = kNeverFast;
        }
    }
}

void bgrPixels(const uint8_t *luma, const RowTerms &t, const YuvMatrix &m, int begin, int end,
               uint8_t *bgr) {
    for (int x = begin; x < end; ++x) {
        const int32_t level = lumaLevel(luma[x], m);
        bgr[3 * x] = static_cast<uint8_t>(clampByte(level + t.blue[x]));
        bgr[3 * x + 1] = static_cast<uint8_t>(clampByte(level + t.green[x]));
        bgr[3 * x + 2] = static_cast<uint8_t>(clampByte(level + t.red[x]));
    }
}

// The imaging luminance of each converted pixel, boundaries included: the code the vector grey
// rows fall back to and are held to.
void greyPixels(const uint8_t *luma, const RowTerms &t, const YuvMatrix &m, int begin, int end,
                uint8_t *grey) {
    for (int x = begin; x < end; ++x) {
        const int32_t level = lumaLevel(luma[x], m);
        grey[x] = static_cast<uint8_t>(
            luminance::fromRgb(static_cast<uint8_t>(clampByte(level + t.red[x])),
                               static_cast<uint8_t>(clampByte(level + t.green[x])),
                               static_cast<uint8_t>(clampByte(level + t.blue[x]))));
    }
}

#ifdef KIVO_HAVE_AVX2_KERNEL

// The luminance rule's constants as the vector code uses them. pmaddwd pairs (R, G) and (B, 1)
// in 16-bit lanes, so the weights and the half sit in the halves of 32-bit lanes.
constexpr auto kRedGreenWeights =
    static_cast<int32_t>(luminance::kGreenWeight << 16 | luminance::kRedWeight);
constexpr auto kBlueHalfWeights =
    static_cast<int32_t>(luminance::kHalf << 16 | luminance::kBlueWeight);
constexpr auto kDivisor = static_cast<int32_t>(luminance::kDivisor);
constexpr float kReciprocalDivisor = 1.0f / static_cast<float>(luminance::kDivisor);

// luminance16 and luminance32 split the weighted sum into 256 (R + 2 G) and the rest, whose weights
// and quotient fit 16-bit lanes.
static_assert(luminance::kRedWeight / 256 == 1 && luminance::kGreenWeight / 256 == 2 &&
                  luminance::kBlueWeight < 256,
              "luminance32 takes R + 2 G as the sum's multiple of 256");
constexpr auto kRedRest = static_cast<int16_t>(luminance::kRedWeight % 256);
constexpr auto kGreenRest = static_cast<int16_t>(luminance::kGreenWeight % 256);
constexpr auto kBlueRest = static_cast<int16_t>(luminance::kBlueWeight);
constexpr auto kHalf = static_cast<int16_t>(luminance::kHalf);
static_assert(255 * (kRedRest + kGreenRest + kBlueRest) + kHalf < 65536,
              "the rest of the sum fits unsigned 16-bit lanes");
static_assert(luminance::kDivisor % 8 == 0, "luminance32 divides the sum's eighth");
constexpr auto kEighthDivisor = static_cast<int16_t>(luminance::kDivisor / 8);
constexpr uint32_t kEighthReciprocal = (uint32_t{1} << 22) / kEighthDivisor + 1;

constexpr bool reciprocalDividesEveryEighth() {
    for (uint32_t eighth = 0; eighth < (1u << 15); ++eighth) {
        if ((eighth * kEighthReciprocal) >> 22 != eighth / static_cast<uint32_t>(kEighthDivisor)) {
            return false;
        }
    }
    return true;
}
static_assert(reciprocalDividesEveryEighth(), "(E * reciprocal) >> 22 is E / divisor below 2^15");

bool processorHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}

bool processorHasAvx512() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
}

KIVO_AVX2 inline __m256i load16(const int16_t *terms) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(terms));
}

KIVO_AVX2 inline void store16(int16_t *terms, __m256i values) {
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(terms), values);
}

// Sixteen unsigned bytes as 16-bit lanes.
KIVO_AVX2 inline __m256i widen(const uint8_t *bytes) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes)));
}

// Sixteen 16-bit lanes holding 0..255, as sixteen bytes in order.
KIVO_AVX2 inline __m128i packBytes(__m256i words) {
    const __m256i bytes = _mm256_packus_epi16(words, words);
    return _mm256_castsi256_si128(_mm256_permute4x64_epi64(bytes, 0x08));
}

KIVO_AVX2 inline void storeSpread(int16_t *terms, __m256i values, int chromaShift) {
    if (chromaShift == 0) {
        store16(terms, values);
        return;
    }
    // Each sample twice. Unpacking works within 128-bit halves, so the quarters are put in the
    // order 0 2 1 3 first: the low unpack then doubles samples 0-7 in order, the high one 8-15.
    const __m256i ordered = _mm256_permute4x64_epi64(values, 0xD8);
    store16(terms, _mm256_unpacklo_epi16(ordered, ordered));
    store16(terms + kStep, _mm256_unpackhi_epi16(ordered, ordered));
}

// floor(sum / 1000) of non-negative sums below 2^20, in single precision: sum + 0.5 is exact in
// a float, the product's error stays below 1e-4, and the half unit keeps every quotient at least
// 5e-4 away from the next whole number.
KIVO_AVX2 inline __m256i thousandths(__m256i sums) {
    const __m256 shifted = _mm256_add_ps(_mm256_cvtepi32_ps(sums), _mm256_set1_ps(0.5f));
    return _mm256_cvttps_epi32(_mm256_mul_ps(shifted, _mm256_set1_ps(kReciprocalDivisor)));
}

// 299 R + 587 G + 114 B + 500 + plus of sixteen (R, G, B) in 16-bit lanes, as 32-bit sums from
// pmaddwd: lanes 0-3 and 8-11 in low, 4-7 and 12-15 in high. Packing low and high back with
// packs restores the order.
struct WeightedSums {
    __m256i low;
    __m256i high;
};

KIVO_AVX2 inline __m256i weightedHalf(__m256i redGreen, __m256i blueOne, __m256i plus) {
    const __m256i redGreenWeights = _mm256_set1_epi32(kRedGreenWeights);
    const __m256i blueOneWeights = _mm256_set1_epi32(kBlueHalfWeights);
    return _mm256_add_epi32(_mm256_add_epi32(_mm256_madd_epi16(redGreen, redGreenWeights),
                                             _mm256_madd_epi16(blueOne, blueOneWeights)),
                            plus);
}

KIVO_AVX2 inline WeightedSums weightedSums(__m256i r, __m256i g, __m256i b, int32_t plus) {
    const __m256i one = _mm256_set1_epi16(1);
    const __m256i constant = _mm256_set1_epi32(plus);
    return {weightedHalf(_mm256_unpacklo_epi16(r, g), _mm256_unpacklo_epi16(b, one), constant),
            weightedHalf(_mm256_unpackhi_epi16(r, g), _mm256_unpackhi_epi16(b, one), constant)};
}

// The quotients of both halves, and all-ones 16-bit lanes where a sum is a multiple of 1000.
struct Quotients {
    __m256i low;
    __m256i high;
    __m256i onBoundary;
};

KIVO_AVX2 inline Quotients quotients(const WeightedSums &sums) {
    const __m256i thousand = _mm256_set1_epi32(kDivisor);
    const __m256i low = thousandths(sums.low);
    const __m256i high = thousandths(sums.high);
    return {low, high,
            _mm256_packs_epi32(_mm256_cmpeq_epi32(_mm256_mullo_epi32(low, thousand), sums.low),
                               _mm256_cmpeq_epi32(_mm256_mullo_epi32(high, thousand), sums.high))};
}

// Where no channel clamps, 299 R + 587 G + 114 B + 500 = 1000 L + K with K = 299 dR + 587 dG +
// 114 dB + 500, so the luminance is L + floor(K / 1000) unless K is a multiple of 1000 (a
// boundary, which the double formula settles). Stores floor(K / 1000) and the levels at which
// nothing clamps; a boundary sample gets an empty range.
KIVO_AVX2 inline void storeGreyFastPath(const RowTermsOut &t, __m256i r, __m256i g, __m256i b,
                                        int chromaShift) {
    // K lifted by 512000 so that the quotient works on non-negative values.
    constexpr int16_t kLift = 512;
    const Quotients q = quotients(weightedSums(r, g, b, kLift * kDivisor));
    const __m256i offset =
        _mm256_sub_epi16(_mm256_packs_epi32(q.low, q.high), _mm256_set1_epi16(kLift));
    const __m256i lowest = _mm256_blendv_epi8(
        _mm256_sub_epi16(_mm256_setzero_si256(), _mm256_min_epi16(r, _mm256_min_epi16(g, b))),
        _mm256_set1_epi16(kNeverFast), q.onBoundary);
    const __m256i highest =
        _mm256_sub_epi16(_mm256_set1_epi16(255), _mm256_max_epi16(r, _mm256_max_epi16(g, b)));
    storeSpread(t.greyOffset, offset, chromaShift);
    storeSpread(t.lowest, lowest, chromaShift);
    storeSpread(t.highest, highest, chromaShift);
}

KIVO_AVX2 void chromaTermsAvx2(const uint8_t *cb, const uint8_t *cr, int count, int chromaShift,
                               const YuvMatrix &m, const RowTermsOut &t) {
    const __m256i centre = _mm256_set1_epi16(128);
    const __m256i redFromV = _mm256_set1_epi16(m.redFromV);
    const __m256i greenFromU = _mm256_set1_epi16(m.greenFromU);
    const __m256i greenFromV = _mm256_set1_epi16(m.greenFromV);
    const __m256i blueFromU = _mm256_set1_epi16(m.blueFromU);
    int i = 0;
    for (; i + kStep <= count; i += kStep) {
        const __m256i u = _mm256_slli_epi16(_mm256_sub_epi16(widen(cb + i), centre), 4);
        const __m256i v = _mm256_slli_epi16(_mm256_sub_epi16(widen(cr + i), centre), 4);
        const __m256i r = _mm256_mulhrs_epi16(v, redFromV);
        const __m256i g = _mm256_sub_epi16(_mm256_setzero_si256(),
                                           _mm256_add_epi16(_mm256_mulhrs_epi16(u, greenFromU),
                                                            _mm256_mulhrs_epi16(v, greenFromV)));
        const __m256i b = _mm256_mulhrs_epi16(u, blueFromU);
        const RowTermsOut at = t.advancedBy(i << chromaShift);
        storeSpread(at.red, r, chromaShift);
        storeSpread(at.green, g, chromaShift);
        storeSpread(at.blue, b, chromaShift);
        storeGreyFastPath(at, r, g, b, chromaShift);
    }
    chromaTermsPortable(cb + i, cr + i, count - i, chromaShift, m, t.advancedBy(i << chromaShift));
}

struct Channels {
    __m256i red;
    __m256i green;
    __m256i blue;
};

KIVO_AVX2 inline __m256i lumaLevels(const uint8_t *luma, __m256i offset, __m256i scale) {
    return _mm256_mulhrs_epi16(_mm256_slli_epi16(_mm256_sub_epi16(widen(luma), offset), 6), scale);
}

KIVO_AVX2 inline __m256i clampedChannel(__m256i level, const int16_t *terms) {
    const __m256i sum = _mm256_add_epi16(level, load16(terms));
    return _mm256_min_epi16(_mm256_max_epi16(sum, _mm256_setzero_si256()), _mm256_set1_epi16(255));
}

KIVO_AVX2 inline Channels channels(__m256i level, const RowTerms &t) {
    return {clampedChannel(level, t.red), clampedChannel(level, t.green),
            clampedChannel(level, t.blue)};
}

// pshufb masks that place byte p of one channel at 3 p + channel of a 48-byte BGR run.
constexpr std::array<uint8_t, 16> interleaveMask(int part, int channel) {
    std::array<uint8_t, 16> mask{};
    for (int i = 0; i < 16; ++i) {
        const int position = 16 * part + i;
        mask[static_cast<size_t>(i)] =
            position % 3 == channel ? static_cast<uint8_t>(position / 3) : uint8_t{0x80};
    }
    return mask;
}

KIVO_AVX2 inline __m128i maskOf(const std::array<uint8_t, 16> &mask) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(mask.data()));
}

KIVO_AVX2 void bgrRowAvx2(const uint8_t *luma, const RowTerms &t, const YuvMatrix &m, int width,
                          uint8_t *bgr) {
    static constexpr std::array<std::array<std::array<uint8_t, 16>, 3>, 3> kMasks = {{
        {interleaveMask(0, 0), interleaveMask(0, 1), interleaveMask(0, 2)},
        {interleaveMask(1, 0), interleaveMask(1, 1), interleaveMask(1, 2)},
        {interleaveMask(2, 0), interleaveMask(2, 1), interleaveMask(2, 2)},
    }};
    const __m256i offset = _mm256_set1_epi16(m.lumaOffset);
    const __m256i scale = _mm256_set1_epi16(m.lumaScale);
    int x = 0;
    for (; x + kStep <= width; x += kStep) {
        const Channels c = channels(lumaLevels(luma + x, offset, scale), t.advancedBy(x));
        const __m128i blue = packBytes(c.blue);
        const __m128i green = packBytes(c.green);
        const __m128i red = packBytes(c.red);
        for (size_t part = 0; part < 3; ++part) {
            const __m128i run =
                _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(blue, maskOf(kMasks[part][0])),
                                          _mm_shuffle_epi8(green, maskOf(kMasks[part][1]))),
                             _mm_shuffle_epi8(red, maskOf(kMasks[part][2])));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(bgr + 3 * x + 16 * part), run);
        }
    }
    bgrPixels(luma, t, m, x, width, bgr);
}

// The weights of luminance16, held in registers: without the barrier the compiler replaces each
// multiplication by a longer chain of shifts and additions.
struct LuminanceWeights16 {
    __m256i red;
    __m256i green;
    __m256i blue;
    __m256i half;
    __m256i reciprocal;
    __m256i divisor;
    __m256i lowBits;

    KIVO_AVX2 LuminanceWeights16()
        : red(_mm256_set1_epi16(kRedRest)),
          green(_mm256_set1_epi16(kGreenRest)),
          blue(_mm256_set1_epi16(kBlueRest)),
          half(_mm256_set1_epi16(kHalf)),
          reciprocal(_mm256_set1_epi16(static_cast<int16_t>(kEighthReciprocal))),
          divisor(_mm256_set1_epi16(kEighthDivisor)),
          lowBits(_mm256_set1_epi16(7)) {
        asm(""
            : "+x"(red), "+x"(green), "+x"(blue), "+x"(half), "+x"(reciprocal), "+x"(divisor),
              "+x"(lowBits));
    }
};

// floor((299 R + 587 G + 114 B + 500) / 1000) of sixteen pixels in 16-bit lanes, and all-ones
// lanes where the division is exact (the double formula's boundary): the 16-bit arithmetic of
// luminance32 (see there), which needs neither 32-bit lanes nor floating point.
KIVO_AVX2 inline __m256i luminance16(__m256i r, __m256i g, __m256i b, const LuminanceWeights16 &w,
                                     __m256i &onBoundary) {
    const __m256i partial = _mm256_add_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(r, w.red), _mm256_mullo_epi16(g, w.green)),
        _mm256_add_epi16(_mm256_mullo_epi16(b, w.blue), w.half));
    const __m256i high = _mm256_add_epi16(r, _mm256_add_epi16(g, g));
    const __m256i eighth =
        _mm256_add_epi16(_mm256_slli_epi16(high, 5), _mm256_srli_epi16(partial, 3));
    const __m256i whole = _mm256_srli_epi16(_mm256_mulhi_epu16(eighth, w.reciprocal), 6);
    const __m256i wholeEighth =
        _mm256_cmpeq_epi16(_mm256_and_si256(partial, w.lowBits), _mm256_setzero_si256());
    onBoundary = _mm256_and_si256(wholeEighth,
                                  _mm256_cmpeq_epi16(_mm256_mullo_epi16(whole, w.divisor), eighth));
    return whole;
}

// Most steps take the fast path (no channel clamps: level plus the sample's offset). The others
// compute the weighted sum of the clamped channels; a step holding a luminance boundary is
// redone by the reference code, which settles the double formula's rounding.
KIVO_AVX2 void greyRowAvx2(const uint8_t *luma, const RowTerms &terms, const YuvMatrix &m,
                           int width, uint8_t *grey) {
    // A copy of its own: the grey bytes written could alias the caller's object, and its term
    // pointers would be loaded again after every store.
    const RowTerms t = terms;
    const __m256i offset = _mm256_set1_epi16(m.lumaOffset);
    const __m256i scale = _mm256_set1_epi16(m.lumaScale);
    const LuminanceWeights16 weights;
    int x = 0;
    for (; x + kStep <= width; x += kStep) {
        const RowTerms at = t.advancedBy(x);
        const __m256i level = lumaLevels(luma + x, offset, scale);
        const __m256i clamps = _mm256_or_si256(_mm256_cmpgt_epi16(load16(at.lowest), level),
                                               _mm256_cmpgt_epi16(level, load16(at.highest)));
        __m128i *out = reinterpret_cast<__m128i *>(grey + x);
        if (_mm256_testz_si256(clamps, clamps)) {
            _mm_storeu_si128(out, packBytes(_mm256_add_epi16(level, load16(at.greyOffset))));
            continue;
        }
        const Channels c = channels(level, at);
        __m256i onBoundary;
        _mm_storeu_si128(out, packBytes(luminance16(c.red, c.green, c.blue, weights, onBoundary)));
        if (!_mm256_testz_si256(onBoundary, onBoundary)) {
            greyPixels(luma, t, m, x, x + kStep, grey);
        }
    }
    greyPixels(luma, t, m, x, width, grey);
}

// The AVX2 grey row's arithmetic (see greyRowAvx2) on 32 pixels a step.
KIVO_AVX512 inline __m512i load32(const int16_t *terms) {
    return _mm512_loadu_si512(terms);
}

KIVO_AVX512 inline __m512i clampedChannel32(__m512i level, const int16_t *terms) {
    const __m512i sum = _mm512_add_epi16(level, load32(terms));
    return _mm512_min_epi16(_mm512_max_epi16(sum, _mm512_setzero_si512()), _mm512_set1_epi16(255));
}

KIVO_AVX512 inline __m512i thousandths32(__m512i sums) {
    const __m512 shifted = _mm512_add_ps(_mm512_cvtepi32_ps(sums), _mm512_set1_ps(0.5f));
    return _mm512_cvttps_epi32(_mm512_mul_ps(shifted, _mm512_set1_ps(kReciprocalDivisor)));
}

KIVO_AVX512 inline __m512i weightedHalf32(__m512i redGreen, __m512i blueOne) {
    const __m512i redGreenWeights = _mm512_set1_epi32(kRedGreenWeights);
    const __m512i blueOneWeights = _mm512_set1_epi32(kBlueHalfWeights);
    return _mm512_add_epi32(_mm512_madd_epi16(redGreen, redGreenWeights),
                            _mm512_madd_epi16(blueOne, blueOneWeights));
}

// Each of 32 samples twice, in order.
KIVO_AVX512 inline void storeSpread32(int16_t *terms, __m512i values, int chromaShift) {
    if (chromaShift == 0) {
        _mm512_storeu_si512(terms, values);
        return;
    }
    const __m512i lowHalf = _mm512_set_epi16(15, 15, 14, 14, 13, 13, 12, 12, 11, 11, 10, 10, 9, 9,
                                             8, 8, 7, 7, 6, 6, 5, 5, 4, 4, 3, 3, 2, 2, 1, 1, 0, 0);
    _mm512_storeu_si512(terms, _mm512_permutexvar_epi16(lowHalf, values));
    _mm512_storeu_si512(
        terms + kWideStep,
        _mm512_permutexvar_epi16(_mm512_add_epi16(lowHalf, _mm512_set1_epi16(16)), values));
}

KIVO_AVX512 inline __m512i centredChroma32(const uint8_t *samples) {
    const __m512i wide =
        _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(samples)));
    return _mm512_slli_epi16(_mm512_sub_epi16(wide, _mm512_set1_epi16(128)), 4);
}

// The AVX2 chroma terms (see chromaTermsAvx2 and storeGreyFastPath) on 32 samples a step.
KIVO_AVX512 void chromaTermsAvx512(const uint8_t *cb, const uint8_t *cr, int count, int chromaShift,
                                   const YuvMatrix &m, const RowTermsOut &t) {
    constexpr int16_t kLift = 512;
    const __m512i one = _mm512_set1_epi16(1);
    const __m512i lift = _mm512_set1_epi32(kLift * kDivisor);
    const __m512i thousand = _mm512_set1_epi32(kDivisor);
    int i = 0;
    for (; i + kWideStep <= count; i += kWideStep) {
        const __m512i u = centredChroma32(cb + i);
        const __m512i v = centredChroma32(cr + i);
        const __m512i r = _mm512_mulhrs_epi16(v, _mm512_set1_epi16(m.redFromV));
        const __m512i g = _mm512_sub_epi16(
            _mm512_setzero_si512(),
            _mm512_add_epi16(_mm512_mulhrs_epi16(u, _mm512_set1_epi16(m.greenFromU)),
                             _mm512_mulhrs_epi16(v, _mm512_set1_epi16(m.greenFromV))));
        const __m512i b = _mm512_mulhrs_epi16(u, _mm512_set1_epi16(m.blueFromU));
        const __m512i sumsLow = _mm512_add_epi32(
            weightedHalf32(_mm512_unpacklo_epi16(r, g), _mm512_unpacklo_epi16(b, one)), lift);
        const __m512i sumsHigh = _mm512_add_epi32(
            weightedHalf32(_mm512_unpackhi_epi16(r, g), _mm512_unpackhi_epi16(b, one)), lift);
        const __m512i wholeLow = thousandths32(sumsLow);
        const __m512i wholeHigh = thousandths32(sumsHigh);
        const __m512i remainder =
            _mm512_packs_epi32(_mm512_sub_epi32(sumsLow, _mm512_mullo_epi32(wholeLow, thousand)),
                               _mm512_sub_epi32(sumsHigh, _mm512_mullo_epi32(wholeHigh, thousand)));
        const __mmask32 onBoundary = _mm512_cmpeq_epi16_mask(remainder, _mm512_setzero_si512());
        const __m512i offset =
            _mm512_sub_epi16(_mm512_packs_epi32(wholeLow, wholeHigh), _mm512_set1_epi16(kLift));
        const __m512i lowest = _mm512_mask_blend_epi16(
            onBoundary,
            _mm512_sub_epi16(_mm512_setzero_si512(), _mm512_min_epi16(r, _mm512_min_epi16(g, b))),
            _mm512_set1_epi16(kNeverFast));
        const __m512i highest =
            _mm512_sub_epi16(_mm512_set1_epi16(255), _mm512_max_epi16(r, _mm512_max_epi16(g, b)));
        const RowTermsOut at = t.advancedBy(i << chromaShift);
        storeSpread32(at.red, r, chromaShift);
        storeSpread32(at.green, g, chromaShift);
        storeSpread32(at.blue, b, chromaShift);
        storeSpread32(at.greyOffset, offset, chromaShift);
        storeSpread32(at.lowest, lowest, chromaShift);
        storeSpread32(at.highest, highest, chromaShift);
    }
    chromaTermsPortable(cb + i, cr + i, count - i, chromaShift, m, t.advancedBy(i << chromaShift));
}

// The weights of the luminance in the 16-bit arithmetic of luminance32, held in registers:
// without the barrier the compiler replaces each multiplication by a longer chain of shifts
// and additions.
struct LuminanceWeights {
    __m512i red;
    __m512i green;
    __m512i blue;
    __m512i half;
    __m512i reciprocal;
    __m512i divisor;
    __m512i lowBits;

    KIVO_AVX512 LuminanceWeights()
        : red(_mm512_set1_epi16(kRedRest)),
          green(_mm512_set1_epi16(kGreenRest)),
          blue(_mm512_set1_epi16(kBlueRest)),
          half(_mm512_set1_epi16(kHalf)),
          reciprocal(_mm512_set1_epi16(static_cast<int16_t>(kEighthReciprocal))),
          divisor(_mm512_set1_epi16(kEighthDivisor)),
          lowBits(_mm512_set1_epi16(7)) {
        asm("" : "+v"(red), "+v"(green), "+v"(blue), "+v"(divisor));
    }
};

// floor((299 R + 587 G + 114 B + 500) / 1000) of 32 pixels in 16-bit lanes, and the mask of the
// pixels where the division is exact (the double formula's boundary). With H = R + 2 G and
// P = 43 R + 75 G + 114 B + 500 (below 2^16) the sum is 256 H + P, so its eighth is
// E = 32 H + floor(P / 8) (below 2^15), the quotient is floor(E / 125) = (E * 33555) >> 22,
// and the division is exact when P is a multiple of 8 and E one of 125.
KIVO_AVX512 inline __m512i luminance32(__m512i r, __m512i g, __m512i b, const LuminanceWeights &w,
                                       __mmask32 &onBoundary) {
    const __m512i partial = _mm512_add_epi16(
        _mm512_add_epi16(_mm512_mullo_epi16(r, w.red), _mm512_mullo_epi16(g, w.green)),
        _mm512_add_epi16(_mm512_mullo_epi16(b, w.blue), w.half));
    const __m512i high = _mm512_add_epi16(r, _mm512_add_epi16(g, g));
    const __m512i eighth =
        _mm512_add_epi16(_mm512_slli_epi16(high, 5), _mm512_srli_epi16(partial, 3));
    const __m512i whole = _mm512_srli_epi16(_mm512_mulhi_epu16(eighth, w.reciprocal), 6);
    onBoundary = _mm512_mask_cmpeq_epi16_mask(_mm512_testn_epi16_mask(partial, w.lowBits),
                                              _mm512_mullo_epi16(whole, w.divisor), eighth);
    return whole;
}

KIVO_AVX512 void greyRowAvx512(const uint8_t *luma, const RowTerms &t, const YuvMatrix &m,
                               int width, uint8_t *grey) {
    const __m512i offset = _mm512_set1_epi16(m.lumaOffset);
    const __m512i scale = _mm512_set1_epi16(m.lumaScale);
    const LuminanceWeights weights;
    int x = 0;
    for (; x + kWideStep <= width; x += kWideStep) {
        const RowTerms at = t.advancedBy(x);
        const __m512i y =
            _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(luma + x)));
        const __m512i level =
            _mm512_mulhrs_epi16(_mm512_slli_epi16(_mm512_sub_epi16(y, offset), 6), scale);
        auto *out = reinterpret_cast<__m256i *>(grey + x);
        const __mmask32 clamps = _mm512_cmpgt_epi16_mask(load32(at.lowest), level) |
                                 _mm512_cmpgt_epi16_mask(level, load32(at.highest));
        if (clamps == 0) {
            _mm256_storeu_si256(
                out, _mm512_cvtusepi16_epi8(_mm512_add_epi16(level, load32(at.greyOffset))));
            continue;
        }
        __mmask32 onBoundary = 0;
        const __m512i whole =
            luminance32(clampedChannel32(level, at.red), clampedChannel32(level, at.green),
                        clampedChannel32(level, at.blue), weights, onBoundary);
        _mm256_storeu_si256(out, _mm512_cvtepi16_epi8(whole));
        if (onBoundary != 0) {
            greyPixels(luma, t, m, x, x + kWideStep, grey);
        }
    }
    greyPixels(luma, t, m, x, width, grey);
}

#else

bool processorHasAvx2() {
    return false;
}

bool processorHasAvx512() {
    return false;
}

#endif

}  // namespace

YuvMatrix makeYuvMatrix(YuvStandard standard, bool fullRange) {
    const Primaries p = primariesOf(standard);
    const double kg = 1.0 - p.kr - p.kb;
    const double lumaScale = fullRange ? 1.0 : 255.0 / 219.0;
    const double chromaScale = fullRange ? 1.0 : 255.0 / 224.0;
    YuvMatrix m;
    m.lumaOffset = fullRange ? 0 : 16;
    m.lumaScale = fixed(lumaScale, kLumaScaleBits);
    m.redFromV = fixed(2.0 * (1.0 - p.kr) * chromaScale, kChromaScaleBits);
    m.greenFromU = fixed(2.0 * (1.0 - p.kb) * p.kb / kg * chromaScale, kChromaScaleBits);
    m.greenFromV = fixed(2.0 * (1.0 - p.kr) * p.kr / kg * chromaScale, kChromaScaleBits);
    m.blueFromU = fixed(2.0 * (1.0 - p.kb) * chromaScale, kChromaScaleBits);
    return m;
}

CYuvRowConverter::CYuvRowConverter(const YuvMatrix &matrix, int width, int chromaShift,
                                   RowKernel kernel)
    : m_matrix(matrix),
      m_width(width),
      m_chromaShift(chromaShift),
      m_vector(kernel != RowKernel::Portable && processorHasAvx2()),
      m_wide(kernel == RowKernel::Fastest && m_vector && processorHasAvx512()),
      m_stride(static_cast<size_t>(width + 2 * kWideStep)),
      m_terms(6 * m_stride) {
    const RowTermsOut rows(m_terms.data(), m_stride);
    std::fill(rows.lowest, rows.lowest + m_stride, kNeverFast);
}

void CYuvRowConverter::setChroma(const uint8_t *cb, const uint8_t *cr) {
    const int chromaWidth = (m_width + (1 << m_chromaShift) - 1) >> m_chromaShift;
    const RowTermsOut terms(m_terms.data(), m_stride);
#ifdef KIVO_HAVE_AVX2_KERNEL
    if (m_wide) {
        chromaTermsAvx512(cb, cr, chromaWidth, m_chromaShift, m_matrix, terms);
        return;
    }
    if (m_vector) {
        chromaTermsAvx2(cb, cr, chromaWidth, m_chromaShift, m_matrix, terms);
        return;
    }
#endif
    chromaTermsPortable(cb, cr, chromaWidth, m_chromaShift, m_matrix, terms);
}

void CYuvRowConverter::toBgr(const uint8_t *luma, uint8_t *bgr) const {
#ifdef KIVO_HAVE_AVX2_KERNEL
    if (m_vector) {
        bgrRowAvx2(luma, RowTerms(m_terms.data(), m_stride), m_matrix, m_width, bgr);
        return;
    }
#endif
    bgrPixels(luma, RowTerms(m_terms.data(), m_stride), m_matrix, 0, m_width, bgr);
}

void CYuvRowConverter::toGrey(const uint8_t *luma, uint8_t *grey) const {
#ifdef KIVO_HAVE_AVX2_KERNEL
    if (m_wide) {
        greyRowAvx512(luma, RowTerms(m_terms.data(), m_stride), m_matrix, m_width, grey);
        return;
    }
    if (m_vector) {
        greyRowAvx2(luma, RowTerms(m_terms.data(), m_stride), m_matrix, m_width, grey);
        return;
    }
#endif
    greyPixels(luma, RowTerms(m_terms.data(), m_stride), m_matrix, 0, m_width, grey);
}

}  // namespace kivo::grabber
