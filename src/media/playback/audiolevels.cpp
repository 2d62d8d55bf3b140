#include "media/playback/audiolevels.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kQuietestAudible = -4000;

// Linear gain of a level in hundredths of a decibel.
double gainOf(int hundredthsDb) {
    return hundredthsDb <= kSilence ? 0.0 : std::pow(10.0, hundredthsDb / 2000.0);
}

}  // namespace

int clampVolumeLevel(int hundredthsDb) {
    if (hundredthsDb > 0) {
        return 0;
    }
    return hundredthsDb < kQuietestAudible ? kSilence : hundredthsDb;
}

double mpvVolumeForLevel(int hundredthsDb) {
    return 100.0 * std::cbrt(gainOf(hundredthsDb));
}

int clampBalance(int balance) {
    return std::clamp(balance, kSilence, -kSilence);
}

QString balanceFilterChain(int balance) {
    balance = clampBalance(balance);
    if (balance == 0) {
        return {};
    }
    const double left = balance > 0 ? gainOf(-balance) : 1.0;
    const double right = balance < 0 ? gainOf(balance) : 1.0;
    // Mono and multichannel sources are brought to stereo first so both sides exist.
    return QStringLiteral(
               "@KIVOBalance:lavfi=[aformat=channel_layouts=stereo,pan=stereo|c0=%1*c0|c1=%2*c1]")
        .arg(left, 0, 'f', 6)
        .arg(right, 0, 'f', 6);
}
