#pragma once

#include <QString>

#include <optional>

// The image effects of the video window's menu. The effect filter is an mpv video filter under
// the label below whose libavfilter graph is swapped for each mode.

inline constexpr char kEffectsFilterLabel[] = "KIVOImageEffectsF";

enum EEffectMode : int {
    kEffectEmboss = 1002,
    kEffectGrey = 1003,
    kEffectBlur = 1004,
    kEffectPosterise = 1005,
    kEffectXor = 1006,
    kEffectDarken = 1007,
    kEffectBlueOnly = 1008,
    kEffectGreenOnly = 1009,
    kEffectRedOnly = 1010,
    kEffectNone = 1011,
};

// The libavfilter graph of a mode; nothing for a number that is not an effect.
std::optional<QString> effectGraph(int mode);

// The "vf" property value that holds the effects filter in the given mode.
std::optional<QString> effectFilterChain(int mode);
