#include "media/grabber/frameclock.h"

#include <cmath>

namespace kivo::grabber {
namespace {

constexpr double kUnitsPerSecond = 1e7;
// Largest magnitude that converts to int64_t without overflow (2^63 is not representable).
constexpr double kInt64Limit = 9223372036854775808.0;

bool fitsInt64(double value) {
    return std::isfinite(value) && value > -kInt64Limit && value < kInt64Limit;
}

}  // namespace

CFrameClock::CFrameClock(double framesPerSecond) {
    if (std::isfinite(framesPerSecond) && framesPerSecond > 0) {
        const double perFrame = std::round(kUnitsPerSecond / framesPerSecond);
        if (perFrame >= 1 && perFrame < kInt64Limit) {
            m_avgTimePerFrame = static_cast<int64_t>(perFrame);
        }
    }
}

double CFrameClock::frameToTime(double frame) const {
    if (!isValid() || !fitsInt64(frame)) {
        return -1;
    }
    // Multiplied in double: a frame number beyond 2^53 units loses precision but never wraps.
    return static_cast<double>(static_cast<int64_t>(frame)) *
           static_cast<double>(m_avgTimePerFrame);
}

double CFrameClock::timeToFrame(double time) const {
    if (!isValid() || !fitsInt64(time)) {
        return -1;
    }
    return static_cast<double>(static_cast<int64_t>(time) / m_avgTimePerFrame);
}

}  // namespace kivo::grabber
