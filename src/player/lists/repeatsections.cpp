#include "player/lists/repeatsections.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "scene/mediatime.h"

namespace kivo::lists {

std::optional<std::string> sectionTimeText(double time, double otherEnd) {
    if (!(time >= 0) || time == otherEnd) {
        return std::nullopt;
    }
    return scene::formatRepeatSectionTime(time);
}

std::string repeatCountText(int32_t count) {
    return std::to_string(count < 0 ? 0 : count);
}

int32_t parseRepeatCount(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Gathered as a negative number, whose range holds the most negative count too.
    constexpr int64_t kLowest = std::numeric_limits<int32_t>::min();
    int64_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 - (text[pos] - '0');
        if (value < kLowest) {
            value = kLowest;
        }
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<int32_t>::max()) {
            value = std::numeric_limits<int32_t>::max();
        }
    }
    return static_cast<int32_t>(value);
}

CCheckedSection checkSection(std::string_view startText, std::string_view endText,
                             std::string_view countText) {
    const std::optional<double> start = scene::parseRepeatSectionTime(startText);
    const std::optional<double> end = scene::parseRepeatSectionTime(endText);
    if (!start || !end) {
        return {SectionCheck::InvalidTime};
    }
    if (*start == *end) {
        return {SectionCheck::EqualTimes, *start, *end};
    }
    const int32_t count = parseRepeatCount(countText);
    if (count < 0) {
        return {SectionCheck::NegativeCount, *start, *end, count};
    }
    return {SectionCheck::Ok, std::min(*start, *end), std::max(*start, *end), count};
}

}  // namespace kivo::lists
