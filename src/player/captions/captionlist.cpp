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

}  // namespace kivo::captions
