#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "player/lists/playlist.h"

// The play queue: the playlist entries the user chose, played one after another in order or at
// random, once or repeatedly. The queue keeps copies of its entries, so editing the playlist
// never leaves it pointing at removed ones.
namespace kivo::lists {

// Where playback goes next: the queue index to open, and whether to start it playing (false
// when the queue has run out and the first entry is only opened).
struct CQueueStep {
    size_t index = 0;
    bool play = true;
};

class CPlayQueue {
public:
    // A source of pseudo-random numbers for random mode.
    using RandomSource = std::function<uint32_t()>;

    // Draws from one generator seeded from the clock at its first use in the process.
    CPlayQueue();
    explicit CPlayQueue(RandomSource random);

    // Replaces the queue and starts a new pass (empty history, cursor reset).
    void setEntries(std::vector<CPlaylistEntry> entries);
    // Empties the queue and its history.
    void clear() { setEntries({}); }

    const std::vector<CPlaylistEntry> &entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }

    void setRandom(bool on) { m_random = on; }
    void setRepeat(bool on) { m_repeat = on; }
    bool random() const { return m_random; }
    bool repeat() const { return m_repeat; }

    // The next queue index (forward), or the one played before (back), by the history of this
    // pass; nothing at the end of a pass without repeat, or when random mode draws 100 indices
    // that were all played in this pass.
    std::optional<size_t> nextIndex(bool forward);
    // nextIndex as the player follows it: when there is no answer (or none in range) the
    // history is cleared and the first entry is opened without playing. Nothing for an empty
    // queue.
    std::optional<CQueueStep> advance(bool forward);
    // Records that the entry at `index` was opened, in this pass's history.
    void markPlayed(size_t index) { m_history.push_back(index); }

    const std::vector<size_t> &history() const { return m_history; }
    std::ptrdiff_t cursor() const { return m_cursor; }

private:
    std::optional<size_t> forwardIndex();
    std::optional<size_t> randomIndex();

    RandomSource m_randomSource;
    std::vector<CPlaylistEntry> m_entries;
    std::vector<size_t> m_history;
    std::ptrdiff_t m_cursor = -1;
    bool m_random = false;
    bool m_repeat = false;
};

}  // namespace kivo::lists
