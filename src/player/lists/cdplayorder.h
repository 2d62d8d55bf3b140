#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The order in which the audio-CD panel plays its selected tracks: the selection (track numbers
// in row order), the indices of it already played (the history), and the current index. The
// forward and back rules answer the next index or -1; playing an index is recorded by the
// caller through play().
//
// Unlike the playlist's queue there is no cursor into the history: stepping back removes the
// two newest history entries and the answer is recorded again when it plays, and random draws
// never give up (the history is cleared after every 100 failed draws).
namespace kivo::lists {

class CCdPlayOrder {
public:
    using RandomSource = std::function<uint32_t()>;

    // Draws from the same clock-seeded generator as the playlist's queue.
    CCdPlayOrder();
    explicit CCdPlayOrder(RandomSource random);

    // A new selection: empty history, no current index.
    void select(std::vector<int> tracks);
    void reset() { select({}); }

    void setRandom(bool on) { m_random = on; }
    void setRepeat(bool on) { m_repeat = on; }

    // The next index to play, or -1.
    int forwardIndex();
    // The index to go back to, or -1.
    int backIndex();
    // Index k becomes current; withHistory appends it to the history.
    void play(int index, bool withHistory);

    const std::vector<int> &tracks() const { return m_tracks; }
    const std::vector<int> &history() const { return m_history; }
    int current() const { return m_current; }
    // The current entry's track number, 0 when there is none.
    int currentTrack() const;
    bool empty() const { return m_tracks.empty(); }

private:
    int randomIndex();

    RandomSource m_randomSource;
    std::vector<int> m_tracks;
    std::vector<int> m_history;
    int m_current = -1;
    bool m_random = false;
    bool m_repeat = false;
};

}  // namespace kivo::lists
