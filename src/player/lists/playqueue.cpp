#include "player/lists/playqueue.h"

#include <algorithm>
#include <utility>

#include "player/lists/randomdraw.h"

namespace kivo::lists {
namespace {

constexpr int kRandomDraws = 100;

}  // namespace

CPlayQueue::CPlayQueue() : CPlayQueue(clockSeededDraw) {}

CPlayQueue::CPlayQueue(RandomSource random) : m_randomSource(std::move(random)) {}

void CPlayQueue::setEntries(std::vector<CPlaylistEntry> entries) {
    m_entries = std::move(entries);
    m_history.clear();
    m_cursor = -1;
}

std::optional<size_t> CPlayQueue::nextIndex(bool forward) {
    if (!forward) {
        --m_cursor;
        if (m_cursor >= 0) {
            const auto after = static_cast<size_t>(m_cursor) + 1;
            if (after < m_history.size()) {
                m_history.erase(m_history.begin() + static_cast<std::ptrdiff_t>(after));
            }
            if (static_cast<size_t>(m_cursor) < m_history.size()) {
                return m_history[static_cast<size_t>(m_cursor)];
            }
            return std::nullopt;
        }
        m_cursor = -1;
        m_history.clear();
    }
    return forwardIndex();
}

std::optional<size_t> CPlayQueue::forwardIndex() {
    ++m_cursor;
    if (static_cast<size_t>(m_cursor) >= m_entries.size()) {
        m_cursor = 0;
        m_history.clear();
        if (!m_repeat) {
            return std::nullopt;
        }
    }
    if (m_entries.empty()) {
        return std::nullopt;
    }
    if (!m_random) {
        return static_cast<size_t>(m_cursor);
    }
    return randomIndex();
}

std::optional<size_t> CPlayQueue::randomIndex() {
    // Only the first cursor-many history elements count: those played before in this pass.
    const auto played =
        m_history.begin() + std::min<std::ptrdiff_t>(m_cursor, std::ssize(m_history));
    for (int draw = 0; draw < kRandomDraws; ++draw) {
        const size_t candidate = m_randomSource() % m_entries.size();
        if (std::find(m_history.begin(), played, candidate) == played) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::optional<CQueueStep> CPlayQueue::advance(bool forward) {
    if (m_entries.empty()) {
        return std::nullopt;
    }
    const std::optional<size_t> next = nextIndex(forward);
    if (!next || *next >= m_entries.size()) {
        m_history.clear();
        return CQueueStep{0, false};
    }
    return CQueueStep{*next, true};
}

}  // namespace kivo::lists
