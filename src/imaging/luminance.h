#pragma once

#include <array>
#include <cstdint>

// Integer luminance equal to trunc(0.299 R + 0.587 G + 0.114 B + 0.5) evaluated in double
// precision, for every one of the 2^24 colours, with no floating point on the common path.
//
// 1000 x (0.299 R + 0.587 G + 0.114 B + 0.5) = 299 R + 587 G + 114 B + 500 is an exact integer,
// so the luminance is its quotient by 1000, except when the remainder is zero: there the double
// evaluation can land just below the whole number, depending on how the products and sums round.
// That rounding cannot be reproduced by any sum of per-component tables: (0, 12, 4),
// (140, 204, 78) and (236, 232, 68) land on their whole number while (0, 204, 68),
// (140, 232, 4) and (236, 12, 78), made of the same components, land below it. Those boundary
// colours (about 0.1 %, none of them grey) are therefore decided by the double formula itself.
namespace kivo::luminance {

// The rule in integers, for every code that computes it (the grabber's vector rows take their
// constants from here): (kRedWeight R + kGreenWeight G + kBlueWeight B + kHalf) / kDivisor, where a
// zero remainder is a boundary that reference() decides.
inline constexpr uint32_t kRedWeight = 299;
inline constexpr uint32_t kGreenWeight = 587;
inline constexpr uint32_t kBlueWeight = 114;
inline constexpr uint32_t kHalf = 500;
inline constexpr uint32_t kDivisor = 1000;
static_assert(kRedWeight / double(kDivisor) == 0.299 && kGreenWeight / double(kDivisor) == 0.587 &&
                  kBlueWeight / double(kDivisor) == 0.114 && kHalf / double(kDivisor) == 0.5,
              "the integer weights are the double formula's, scaled");

namespace detail {

// Scaled so that the sum's upper 32 bits are the quotient by 1000 and its lower 32 bits stay
// below kBoundaryLimit exactly when the remainder is zero: with K = ceil(2^32 / 1000),
// V x K = (V / 1000) x 2^32 + 704 x (V / 1000) for multiples of 1000, while every other V
// leaves between K and 2^32 - 1 in the lower half (V is at most 255500).
constexpr uint64_t kScale = ((uint64_t{1} << 32) + kDivisor - 1) / kDivisor;
constexpr uint32_t kBoundaryLimit = 1u << 22;

constexpr std::array<uint64_t, 256> scaledProducts(uint64_t factor, uint64_t offset) {
    std::array<uint64_t, 256> table{};
    for (uint64_t i = 0; i < 256; ++i) {
        table[i] = (factor * i + offset) * kScale;
    }
    return table;
}

inline constexpr std::array<uint64_t, 256> kRed = scaledProducts(kRedWeight, 0);
inline constexpr std::array<uint64_t, 256> kGreen = scaledProducts(kGreenWeight, 0);
inline constexpr std::array<uint64_t, 256> kBlue = scaledProducts(kBlueWeight, kHalf);

}  // namespace detail

// The double formula itself: the definition the fast path is held to.
int reference(unsigned red, unsigned green, unsigned blue);

// Components must be 0..255.
inline int fromRgb(uint8_t red, uint8_t green, uint8_t blue) {
    const uint64_t scaled = detail::kRed[red] + detail::kGreen[green] + detail::kBlue[blue];
    if (static_cast<uint32_t>(scaled) < detail::kBoundaryLimit) [[unlikely]] {
        return reference(red, green, blue);
    }
    return static_cast<int>(scaled >> 32);
}

inline int fromColor(uint32_t color) {
    return fromRgb(static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8),
                   static_cast<uint8_t>(color));
}

}  // namespace kivo::luminance
