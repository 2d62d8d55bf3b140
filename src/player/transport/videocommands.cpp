#include "player/transport/videocommands.h"

#include <array>
#include <utility>

namespace kivo::player {
namespace {

constexpr std::array<std::pair<int, double>, 4> kSizeRates = {{
    {kViewRate50, 0.5},
    {kViewRate100, 1.0},
    {kViewRate200, 2.0},
    {kViewRate300, 3.0},
}};

// The modes are the effects filter's numbers (see the engine's image effects).
constexpr std::array<std::pair<int, int>, 10> kEffectModes = {{
    {kViewEffectNone, 1011},
    {kViewEffectRed, 1010},
    {kViewEffectBlue, 1008},
    {kViewEffectGreen, 1009},
    {kViewEffectEmboss, 1002},
    {kViewEffectPoster, 1005},
    {kViewEffectGrey, 1003},
    {kViewEffectDarken, 1007},
    {kViewEffectXor, 1006},
    {kViewEffectBlur, 1004},
}};

template <typename Value, std::size_t N>
std::optional<Value> lookUp(const std::array<std::pair<int, Value>, N> &table, int id) {
    for (const auto &[key, value] : table) {
        if (key == id) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> sizeRateOfCommand(int id) {
    return lookUp(kSizeRates, id);
}

std::optional<int> effectModeOfCommand(int id) {
    return lookUp(kEffectModes, id);
}

}  // namespace kivo::player
