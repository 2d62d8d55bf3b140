#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The rules of the repeat-section editor: what its edits show and how a section entered there
// is checked. Times are media times (100 ns units); the edits use the form
// "HH:MM:SS.ttttttt" of kivo::scene::formatRepeatSectionTime.
namespace kivo::lists {

// The text of a start or end edit: nothing (the panel shows its "not set" text) when the time
// is not set or equals the other end of the section.
std::optional<std::string> sectionTimeText(double time, double otherEnd);

// The count edit's text: the count, 0 for a negative one.
std::string repeatCountText(int32_t count);

// A count edit read as the leading decimal number of its text: optional blanks and sign, then
// digits; no digits reads as 0, and numbers beyond 32 bits end at the nearest limit.
int32_t parseRepeatCount(std::string_view text);

enum class SectionCheck {
    Ok,
    InvalidTime,    // a time edit does not hold a time
    EqualTimes,     // start and end are the same
    NegativeCount,  // the count is below zero
};

struct CCheckedSection {
    SectionCheck check = SectionCheck::InvalidTime;
    double start = -1.0;  // below `end` when check is Ok: reversed times are swapped
    double end = -1.0;
    int32_t count = 0;
};

// Checks the editor's entries in the order the user is told of problems: times, equal times,
// count.
CCheckedSection checkSection(std::string_view startText, std::string_view endText,
                             std::string_view countText);

}  // namespace kivo::lists
