#include "player/lists/cdplayorder.h"

#include <algorithm>
#include <utility>

#include "player/lists/randomdraw.h"

namespace kivo::lists {
namespace {

constexpr int kDrawsBeforeClearing = 100;

}  // namespace

CCdPlayOrder::CCdPlayOrder() : CCdPlayOrder(clockSeededDraw) {}

CCdPlayOrder::CCdPlayOrder(RandomSource random) : m_randomSource(std::move(random)) {}

void CCdPlayOrder::select(std::vector<int> tracks) {
    m_tracks = std::move(tracks);
    m_history.clear();
    m_current = -1;
}

int CCdPlayOrder::currentTrack() const {
    return m_current >= 0 && m_current < std::ssize(m_tracks) ? m_tracks[size_t(m_current)] : 0;
}

int CCdPlayOrder::forwardIndex() {
    if (m_tracks.empty()) {
        return -1;
    }
    if (m_random) {
        if (m_history.size() >= m_tracks.size()) {
            if (!m_repeat) {
                return -1;
            }
            m_history.clear();
        }
        return randomIndex();
    }
    if (m_current + 1 < std::ssize(m_tracks)) {
        return m_current + 1;
    }
    if (!m_repeat) {
        return -1;
    }
    m_history.clear();
    return 0;
}

int CCdPlayOrder::randomIndex() {
    // The history holds fewer distinct indices than the selection, so a free one exists; the
    // clearing only bounds a run of unlucky draws.
    for (int failures = 0;; ++failures) {
        if (failures == kDrawsBeforeClearing) {
            m_history.clear();
            failures = 0;
        }
        const int candidate = int(m_randomSource() % m_tracks.size());
        if (std::find(m_history.begin(), m_history.end(), candidate) == m_history.end()) {
            return candidate;
        }
    }
}

int CCdPlayOrder::backIndex() {
    if (m_tracks.empty()) {
        return -1;
    }
    if (m_random) {
        if (m_history.size() <= 1) {
            m_history.clear();
            return m_repeat ? forwardIndex() : -1;
        }
        const int answer = m_history[m_history.size() - 2];
        m_history.resize(m_history.size() - 2);
        return answer;
    }
    if (m_current - 1 >= 0) {
        return m_current - 1;
    }
    if (!m_repeat) {
        return -1;
    }
    m_history.clear();
    return int(m_tracks.size()) - 1;
}

void CCdPlayOrder::play(int index, bool withHistory) {
    m_current = index;
    if (withHistory) {
        m_history.push_back(index);
    }
}

}  // namespace kivo::lists
