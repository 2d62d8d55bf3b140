#pragma once

#include <cstdint>

// Integer luminance that reproduces trunc(0.299 R + 0.587 G + 0.114 B + 0.5) evaluated in double
// precision, for every one of the 2^24 colours, without floating point on the hot path.
namespace kivo::luminance {

// The double formula itself; the reference the fast path is held to.
int reference(unsigned red, unsigned green, unsigned blue);

namespace detail {
// Exact decision for the colours whose true value lands on a whole number: there the double
// rounding of the products and sums decides which side the result falls.
int onBoundary(unsigned red, unsigned green, unsigned blue);
}  // namespace detail

inline int fromRgb(unsigned red, unsigned green, unsigned blue) {
    // 1000 x (0.299 R + 0.587 G + 0.114 B + 0.5) is an exact integer; the double result can only
    // differ from its quotient when the remainder is zero (about 0.1 % of colours).
    const unsigned scaled = 299u * red + 587u * green + 114u * blue + 500u;
    const unsigned whole = scaled / 1000u;
    if (whole * 1000u == scaled) {
        return detail::onBoundary(red, green, blue);
    }
    return static_cast<int>(whole);
}

inline int fromColor(uint32_t color) {
    return fromRgb((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

}  // namespace kivo::luminance
