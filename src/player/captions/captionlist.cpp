#include "player/captions/captionlist.h"

#include <algorithm>

namespace kivo::captions {

void sortCaptions(std::vector<CCaptionEntry> &captions) {
    std::stable_sort(
        captions.begin(), captions.end(),
        [](const CCaptionEntry &a, const CCaptionEntry &b) { return a.time < b.time; });
}

int findCaptionAt(std::span<const CCaptionEntry> sorted, double position) {
    // The first caption at or after the position is the only candidate: any later one starts
    // even further from the position, any earlier one has already passed.
    const auto first =
        std::partition_point(sorted.begin(), sorted.end(),
                             [position](const CCaptionEntry &c) { return c.time < position; });
    if (first == sorted.end() || !(first->time - kCaptionLeadTime <= position)) {
        return -1;
    }
    return static_cast<int>(first - sorted.begin());
}

int findCaptionReached(std::span<const CCaptionEntry> sorted, double previous, double position) {
    const int now = findCaptionAt(sorted, position);
    if (now >= 0 || !(previous < position)) {
        return now;
    }
    const auto after =
        std::partition_point(sorted.begin(), sorted.end(),
                             [position](const CCaptionEntry &c) { return c.time <= position; });
    if (after == sorted.begin() || !(std::prev(after)->time > previous)) {
        return -1;
    }
    // Of several captions at that time, the first, as findCaptionAt chooses.
    const double time = std::prev(after)->time;
    const auto first = std::partition_point(
        sorted.begin(), after, [time](const CCaptionEntry &c) { return c.time < time; });
    return static_cast<int>(first - sorted.begin());
}

}  // namespace kivo::captions
