#pragma once

#include <ctime>
#include <string>

// The local calendar date of a time as the media finder shows it ("%Y-%m-%d"). The files of a
// folder tree mostly come from a few days, so the last day is remembered with its bounds and
// the time zone rules are consulted only when a time falls outside it: for every conversion
// the C library takes a lock and checks the time zone setting.
namespace kivo::lists {

class CLocalDates {
public:
    // The date text; empty when the time cannot be converted.
    const std::string &textOf(time_t seconds);

private:
    time_t m_dayStart = 1;  // [m_dayStart, m_dayEnd) is the remembered day; none yet
    time_t m_dayEnd = 0;
    std::string m_text;
    std::string m_none;
};

}  // namespace kivo::lists
