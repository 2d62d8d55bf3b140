#pragma once

#include <cstdint>

// Conversion between frame numbers and media time (100-nanosecond units held in doubles).
// Frame n starts at n x AvgTimePerFrame, AvgTimePerFrame = round(10^7 / average frame rate);
// both directions truncate their source value to a 64-bit integer first, and time -> frame
// truncates the quotient.
namespace kivo::grabber {

class CFrameClock {
public:
    CFrameClock() = default;
    explicit CFrameClock(double framesPerSecond);

    bool isValid() const { return m_avgTimePerFrame > 0; }
    int64_t avgTimePerFrame() const { return m_avgTimePerFrame; }

    // -1 when the clock has no rate or the value does not fit a 64-bit integer.
    double frameToTime(double frame) const;
    double timeToFrame(double time) const;

private:
    int64_t m_avgTimePerFrame = 0;
};

}  // namespace kivo::grabber
