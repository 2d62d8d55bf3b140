#include "player/lists/localdate.h"

namespace kivo::lists {

const std::string &CLocalDates::textOf(time_t seconds) {
    if (seconds >= m_dayStart && seconds < m_dayEnd) {
        return m_text;
    }
    struct tm local {};
    if (!::localtime_r(&seconds, &local)) {
        return m_none;
    }
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    m_text = text;
    // The day's first and next day's first second, the clock changes of the day included.
    struct tm midnight {};
    midnight.tm_year = local.tm_year;
    midnight.tm_mon = local.tm_mon;
    midnight.tm_mday = local.tm_mday;
    midnight.tm_isdst = -1;
    struct tm nextMidnight = midnight;
    ++nextMidnight.tm_mday;
    // Where the clock is set back across midnight, the next day's midnight comes twice and
    // mktime may give the second one: the last second remembered must still be of this day.
    m_dayStart = ::mktime(&midnight);
    m_dayEnd = ::mktime(&nextMidnight);
    const time_t lastSecond = m_dayEnd - 1;
    struct tm last {};
    if (m_dayStart == time_t(-1) || m_dayEnd == time_t(-1) || seconds < m_dayStart ||
        seconds >= m_dayEnd || !::localtime_r(&lastSecond, &last) ||
        last.tm_mday != local.tm_mday) {
        m_dayStart = 1;  // remember nothing rather than a day the time is not in
        m_dayEnd = 0;
    }
    return m_text;
}

}  // namespace kivo::lists
