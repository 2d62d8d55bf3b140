#pragma once

#include <span>
#include <vector>

#include "scene/videodescription.h"

// The caption list of a scene description as the player uses it: kept in ascending time order,
// two captions may share a time, and a caption shows from a little before its time.
namespace kivo::captions {

// A caption shows while the playback position lies at most this long before its time (0.125 s
// in 100-ns units), so that it appears with the picture it belongs to rather than after it.
inline constexpr double kCaptionLeadTime = 1'250'000.0;

// Sorts by ascending time; captions with equal times keep their order.
void sortCaptions(std::vector<CCaptionEntry> &captions);

// The index of the caption to show at `position` (100-ns units) in a list sorted by time: the
// first caption whose time t satisfies t - kCaptionLeadTime <= position <= t, found by halving.
// -1 when there is none (also for a NaN position).
int findCaptionAt(std::span<const CCaptionEntry> sorted, double position);

// The caption to show when playback moved forward from `previous` to `position`: the one
// findCaptionAt gives, else the last caption whose showing window the move stepped over (its
// time lies after `previous` and not after `position`), so that a late position update never
// loses a caption. -1 when there is none.
int findCaptionReached(std::span<const CCaptionEntry> sorted, double previous, double position);

}  // namespace kivo::captions
