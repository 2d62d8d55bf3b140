#pragma once

#include <optional>
#include <string>

// The caption editor's arithmetic: the time text of its time edit and the slider that nudges
// that time around the player's position.
namespace kivo::captions {

// "HH:MM:SS.mmm" of a time in 100-ns units (whole seconds, then the truncated milliseconds).
// Negative or non-finite times show as 00:00:00.000.
std::string captionTimeText(double time);

// The time of a time text, in 100-ns units: hours from characters 1-2, minutes from 4-5,
// seconds from 7-8 and milliseconds from the last three, each the leading decimal number there
// (0 when there is none). A text of another form gives whatever those places hold.
double parseCaptionTimeText(const std::string &text);

// The slider: -200..+200, one step a tenth of a second around the time the edit had when the
// slider was last at `base`.
inline constexpr int kNudgeRange = 200;
inline constexpr double kNudgeStep = 1'000'000.0;  // 0.1 s in 100-ns units

// The time the slider moved from `base` to `position` gives for the edit's time `time`, or
// nothing when that falls before the start or beyond `duration` (the slider then goes back).
std::optional<double> nudgedTime(double time, int base, int position, double duration);

}  // namespace kivo::captions
