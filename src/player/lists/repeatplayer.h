#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "scene/videodescription.h"

// Repeat playback: the chosen sections played one after another, each from its start to its
// end as many times as its count says (counts 0 and 1 play once), and after the last one from
// the first again. The control panel feeds the positions of playback and carries out the
// answers.
namespace kivo::lists {

// What the player does: go to `position`, the start of the section at `section` (its index in
// the description's list, whose row the panel selects). With `restart` it stops first and
// starts over there, as at the start of repeat playback.
struct CRepeatCue {
    size_t section = 0;
    double position = 0;
    bool restart = false;

    bool operator==(const CRepeatCue &) const = default;
};

class CRepeatPlayer {
public:
    // Starts repeat playback of the sections at `chosen` (indices into `sections`, in the order
    // to play; indices past the end are left out). The answer is the first cue; nothing, and
    // repeat playback off, when nothing was chosen.
    std::optional<CRepeatCue> start(const std::vector<CRepeatSection> &sections,
                                    const std::vector<size_t> &chosen);
    void stop();
    bool active() const { return !m_list.empty(); }

    // The position of playback (100 ns units): a cue when the current section has just been
    // passed, else nothing.
    std::optional<CRepeatCue> positionChanged(double position);

    // The description lost its section at `index`: it leaves the running list, and the later
    // sections' indices move down by one. Repeat playback ends when no section is left.
    void sectionRemoved(size_t index);

    // The indices of the running list, in playing order, and the one playing.
    std::vector<size_t> sections() const;
    size_t current() const { return m_current; }

private:
    struct CRunningSection {
        size_t index;
        double start;
        double end;
        int32_t count;
    };

    CRepeatCue cueAt(size_t position, bool restart) const;

    std::vector<CRunningSection> m_list;
    size_t m_current = 0;
    int32_t m_played = 0;
};

}  // namespace kivo::lists
