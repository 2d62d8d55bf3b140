#include "scene/mediatime.h"

#include <cstddef>

namespace kivo::scene {
namespace {

// 2^63 units: the first time without a text of its own, and the first whose count of units no
// longer fits a signed 64-bit integer.
constexpr double kTimeLimit = 9223372036854775808.0;
constexpr int64_t kUnitsPerWholeSecond = 10'000'000;

// The whole parts of the time (partsPerUnit: 1e-7 for seconds, 1e-4 for milliseconds, 1 for
// units), truncated; 0 for a time without a text.
int64_t wholeParts(double time, double partsPerUnit) {
    const bool shown = time >= 0 && time < kTimeLimit;  // false for NaN
    return shown ? static_cast<int64_t>(time * partsPerUnit) : 0;
}

std::string withFraction(int64_t seconds, int64_t fraction, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, ".%0*lld", digits, static_cast<long long>(fraction));
    return formatClockSeconds(seconds) + text;
}

// Reads a run of digits at `pos`, which must be between minDigits and maxDigits long (at most
// 12, so the value cannot overflow), and moves past it.
std::optional<int64_t> digitsAt(std::string_view text, size_t &pos, size_t minDigits,
                                size_t maxDigits) {
    const size_t start = pos;
    int64_t value = 0;
    while (pos < text.size() && pos - start < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    const bool runEnded = pos == text.size() || text[pos] < '0' || text[pos] > '9';
    if (pos - start < minDigits || !runEnded) {
        return std::nullopt;
    }
    return value;
}

bool charAt(std::string_view text, size_t &pos, char wanted) {
    if (pos < text.size() && text[pos] == wanted) {
        ++pos;
        return true;
    }
    return false;
}

// "HH:MM:SS." followed by exactly fractionDigits digits; one step of the fraction is worth
// unitsPerFractionStep units.
std::optional<double> parseTime(std::string_view text, size_t fractionDigits,
                                int64_t unitsPerFractionStep) {
    size_t pos = 0;
    const auto hours = digitsAt(text, pos, 2, 12);
    if (!hours || !charAt(text, pos, ':')) {
        return std::nullopt;
    }
    const auto minutes = digitsAt(text, pos, 2, 2);
    if (!minutes || *minutes >= 60 || !charAt(text, pos, ':')) {
        return std::nullopt;
    }
    const auto seconds = digitsAt(text, pos, 2, 2);
    if (!seconds || *seconds >= 60 || !charAt(text, pos, '.')) {
        return std::nullopt;
    }
    const auto fraction = digitsAt(text, pos, fractionDigits, fractionDigits);
    if (!fraction || pos != text.size()) {
        return std::nullopt;
    }
    const int64_t wholeSeconds = *hours * 3600 + *minutes * 60 + *seconds;
    const int64_t fractionUnits = *fraction * unitsPerFractionStep;
    if (wholeSeconds > (INT64_MAX - fractionUnits) / kUnitsPerWholeSecond) {
        return std::nullopt;
    }
    const auto time = static_cast<double>(wholeSeconds * kUnitsPerWholeSecond + fractionUnits);
    return time < kTimeLimit ? std::optional<double>(time) : std::nullopt;
}

}  // namespace

std::string formatMediaTime(double time) {
    return formatClockSeconds(wholeParts(time, 1e-7));
}

std::string formatCaptionTime(double time) {
    // Whole milliseconds first, then the seconds from them: the fraction of the seconds times
    // 1000 in doubles would lose a millisecond on most whole-millisecond times (0.007 s has no
    // exact double and gives 6.99...).
    const int64_t millis = wholeParts(time, 1e-4);
    return withFraction(millis / 1000, millis % 1000, 3);
}

std::string formatRepeatSectionTime(double time) {
    const int64_t units = wholeParts(time, 1.0);
    return withFraction(units / kUnitsPerWholeSecond, units % kUnitsPerWholeSecond, 7);
}

std::optional<double> parseCaptionTime(std::string_view text) {
    return parseTime(text, 3, 10'000);
}

std::optional<double> parseRepeatSectionTime(std::string_view text) {
    return parseTime(text, 7, 1);
}

}  // namespace kivo::scene
