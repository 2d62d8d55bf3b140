#include "player/captions/captionedit.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kivo::captions {

namespace {

// The leading decimal number of `text` from `offset` on, as the C library reads it: spaces
// and a sign allowed, 0 when there is no number.
long numberAt(const std::string &text, size_t offset) {
    if (offset >= text.size()) {
        return 0;
    }
    const long value = std::strtol(text.c_str() + offset, nullptr, 10);
    return value;
}

}  // namespace

std::string captionTimeText(double time) {
    // Whole milliseconds by dividing the 100-ns count: scaling by 1e-7 first loses the last
    // bit of times such as 6.3 s (6.2999... s), which would show, and read back, a millisecond
    // short. Fractions are truncated, not rounded.
    const double units = std::isfinite(time) && time > 0 ? std::min(time, 3.6e19) : 0.0;
    const auto millis = static_cast<long long>(std::floor(units / 10'000.0));
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", millis / 3'600'000,
                  millis / 60'000 % 60, millis / 1000 % 60, millis % 1000);
    return text;
}

double parseCaptionTimeText(const std::string &text) {
    const long hours = numberAt(text, 0);
    const long minutes = numberAt(text, 3);
    const long seconds = numberAt(text, 6);
    const long millis = numberAt(text, text.size() >= 3 ? text.size() - 3 : 0);
    return ((static_cast<double>(hours) * 3600.0 + static_cast<double>(minutes) * 60.0 +
             static_cast<double>(seconds)) *
                1000.0 +
            static_cast<double>(millis)) *
           10000.0;
}

std::optional<double> nudgedTime(double time, int base, int position, double duration) {
    const double moved = time - static_cast<double>(base - position) * kNudgeStep;
    if (moved < 0 || moved > duration) {
        return std::nullopt;
    }
    return moved;
}

}  // namespace kivo::captions
