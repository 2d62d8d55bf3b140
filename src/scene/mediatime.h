#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// The texts of media times. A media time is a count of 100-nanosecond units held in a double;
// -1 (any negative value) means none. Every form truncates: a time shows the whole seconds,
// milliseconds or units it has reached. Hours are not wrapped ("100:00:00").
//
// Only a time from 0 to below 2^63 units (about 29,000 years) has a text of its own; a negative
// time, NaN, an infinity or anything larger shows as zero, like the start of the media.
namespace kivo::scene {

inline constexpr double kUnitsPerSecond = 1e7;

// "HH:MM:SS" of a count of whole seconds; a negative count shows as zero. Inline, because the
// skinned time display, which counts whole seconds itself, shows the same text.
inline std::string formatClockSeconds(int64_t seconds) {
    const long long s = seconds > 0 ? seconds : 0;
    char text[40];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

// "HH:MM:SS": the whole seconds of the time, as the scene views and lists show times.
std::string formatMediaTime(double time);
// "HH:MM:SS.mmm": the form of caption times.
std::string formatCaptionTime(double time);
// "HH:MM:SS.ttttttt", the last field being the units within the second: the form of the
// repeat-section edits, exact to the unit.
std::string formatRepeatSectionTime(double time);

// The time of a caption-form or repeat-section-form text, exactly as the matching formatter
// writes it: at least two hour digits, minutes and seconds below 60, three or seven digits after
// the point. Anything else (signs, spaces, missing or extra fields, a time of 2^63 units or
// more) gives no time.
std::optional<double> parseCaptionTime(std::string_view text);
std::optional<double> parseRepeatSectionTime(std::string_view text);

}  // namespace kivo::scene
