#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// The network the program ships with: three inputs (mean grey difference, histogram difference,
// spread of the difference histogram), six hidden units, two outputs. These tables are the only
// place its values live; the weighting-file bytes compiled into the program are generated from
// them below.
namespace kivo::shippedweights {

inline constexpr int32_t kLayerCount = 3;
inline constexpr int32_t kLayerSizes[kLayerCount] = {3, 6, 2};

// Rows are hidden units 0..5; columns are inputs 0, 1, 2 and the bias.
inline constexpr double kHiddenWeights[6][4] = {
    {3.1764039439547354, 1.7979747407613027, 0.9048083439225542, -1.3987231616758269},
    {-4.5345852749442, -3.090728816114127, 5.819831212361284, -1.3092310689316953},
    {-9.802275296610706, -5.808098144124263, 12.138541271358028, -0.9950606513904047},
    {2.1634536383711462, 2.518386454508751, 0.9245134623521191, -2.1350550018314567},
    {-1.8403907968503705, -2.349147554346348, -2.3861366482899182, 2.011937110922566},
    {-1.4975050642769125, -1.252387984702016, -3.327270096570264, 1.5136137312247167},
};

// Rows are output units 0 and 1; columns are hidden units 0..5 and the bias.
inline constexpr double kOutputWeights[2][7] = {
    {1.1987405796515984, -2.885775972426863, -6.832295549548662, 1.4035959390341923,
     -0.5417895650476839, 0.2144598232814512, -0.31953480142492724},
    {-1.5295871365359608, 3.532756791435546, 6.51448893879536, -0.5258054068960124,
     0.5383408485773734, -0.5148392643325914, 1.2658592580480292},
};

inline constexpr double kLearningRate = 0.5;

// Raw range (minimum, maximum) of each input.
inline constexpr double kInputRanges[3][2] = {{0.0, 60.0}, {0.0, 80.0}, {0.0, 20.0}};

// 16 bytes of integers and 45 doubles: 38 weights, the rate and six range ends.
inline constexpr size_t kFileSize = 376;

namespace detail {

template <typename T>
constexpr void put(std::array<uint8_t, kFileSize> &bytes, size_t &pos, T value) {
    using Raw = std::conditional_t<sizeof(T) == 8, uint64_t, uint32_t>;
    const Raw raw = std::bit_cast<Raw>(value);
    for (size_t i = 0; i < sizeof(T); ++i) {
        bytes[pos++] = static_cast<uint8_t>(raw >> (8 * i));
    }
}

}  // namespace detail

// The weighting file with input ranges, little-endian, as the loaders read it.
constexpr std::array<uint8_t, kFileSize> weightingFile() {
    std::array<uint8_t, kFileSize> bytes{};
    size_t pos = 0;
    detail::put(bytes, pos, kLayerCount);
    for (int32_t size : kLayerSizes) {
        detail::put(bytes, pos, size);
    }
    for (const auto &row : kHiddenWeights) {
        for (double w : row) {
            detail::put(bytes, pos, w);
        }
    }
    for (const auto &row : kOutputWeights) {
        for (double w : row) {
            detail::put(bytes, pos, w);
        }
    }
    detail::put(bytes, pos, kLearningRate);
    for (const auto &range : kInputRanges) {
        detail::put(bytes, pos, range[0]);
        detail::put(bytes, pos, range[1]);
    }
    // Leaves the constant expression (a compile error) unless the tables fill the file exactly.
    if (pos != kFileSize) {
        throw "shipped weight tables do not fill the weighting file";
    }
    return bytes;
}

}  // namespace kivo::shippedweights
