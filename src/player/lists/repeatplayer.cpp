#include "player/lists/repeatplayer.h"

namespace kivo::lists {

std::optional<CRepeatCue> CRepeatPlayer::start(const std::vector<CRepeatSection> &sections,
                                               const std::vector<size_t> &chosen) {
    m_list.clear();
    for (const size_t index : chosen) {
        if (index < sections.size()) {
            const CRepeatSection &section = sections[index];
            m_list.push_back({index, section.start, section.end, section.repeatCount});
        }
    }
    m_current = 0;
    m_played = 0;
    if (m_list.empty()) {
        return std::nullopt;
    }
    return cueAt(0, true);
}

void CRepeatPlayer::stop() {
    m_list.clear();
    m_current = 0;
    m_played = 0;
}

std::optional<CRepeatCue> CRepeatPlayer::positionChanged(double position) {
    if (m_list.empty()) {
        return std::nullopt;
    }
    const CRunningSection &section = m_list[m_current];
    if (position <= section.end) {
        return std::nullopt;
    }
    ++m_played;
    if (m_played < section.count) {
        return cueAt(m_current, false);
    }
    m_played = 0;
    if (m_current + 1 < m_list.size()) {
        ++m_current;
        return cueAt(m_current, false);
    }
    m_current = 0;
    return cueAt(0, true);
}

void CRepeatPlayer::sectionRemoved(size_t index) {
    for (size_t i = m_list.size(); i-- > 0;) {
        if (m_list[i].index == index) {
            m_list.erase(m_list.begin() + static_cast<std::ptrdiff_t>(i));
            // The section playing, or one before it, left: the one now at that place plays from
            // its first time; past the end, the list starts over.
            if (i <= m_current) {
                if (i < m_current) {
                    --m_current;
                } else {
                    m_played = 0;
                }
            }
        } else if (m_list[i].index > index) {
            --m_list[i].index;
        }
    }
    if (m_current >= m_list.size()) {
        m_current = 0;
        m_played = 0;
    }
    if (m_list.empty()) {
        stop();
    }
}

std::vector<size_t> CRepeatPlayer::sections() const {
    std::vector<size_t> indices;
    indices.reserve(m_list.size());
    for (const CRunningSection &section : m_list) {
        indices.push_back(section.index);
    }
    return indices;
}

CRepeatCue CRepeatPlayer::cueAt(size_t position, bool restart) const {
    return {m_list[position].index, m_list[position].start, restart};
}

}  // namespace kivo::lists
