#pragma once

#include <string>
#include <vector>

// The plan of a basic tree: scenes at a fixed time step from the start of the video, read from
// the two fields of its dialog.
namespace kivo::scenes {

inline constexpr int kAutomatic = -1;  // interval: E / count; count: up to the end
inline constexpr int kDefaultCount = 30;
// At most this many thumbnails are grabbed while the tree is built.
inline constexpr int kThumbnailLimit = 500;

struct BasicTreeRequest {
    int interval = kAutomatic;  // whole seconds
    int count = kDefaultCount;
};

enum class BasicTreeEntry {
    kValid,
    kIntervalTooLong,      // "시간 간격이 너무 큽니다."
    kCountNeededWithAuto,  // "시간간격이 자동일 경우 노드수를 지정하셔야 합니다."
    kCountTooLarge,        // "노드수가 너무 많습니다."
};

// The count field's first two items: the default count and "up to the end".
enum CountChoice { kDefaultCountItem = 0, kToTheEndItem = 1, kTypedCount = -1 };

// Reads the fields: the interval is automatic when its first item is chosen, else the leading
// decimal number of its text (0 for none); the count is 30, up to the end, or its text's number.
// A text longer than 4 characters is refused.
BasicTreeEntry readBasicTreeRequest(bool automaticInterval, const std::string &intervalText,
                                    int countChoice, const std::string &countText,
                                    BasicTreeRequest &request);

// The step in seconds between the planned scenes: the interval, or end / count when automatic
// (0 without a count).
double basicTreeStep(double end, const BasicTreeRequest &request);

// The times in seconds of the scenes under the start scene, from start up to before end, in
// order: start, start + I, start + 2I, ..., at most the request's count of them. An automatic
// interval is end / count, a count up to the end is end / interval (both from end, not from
// end - start). A step of 0 or less makes no scenes when the count runs to the end, and the
// same time for every scene otherwise.
std::vector<double> basicTreeTimes(double start, double end, const BasicTreeRequest &request);

}  // namespace kivo::scenes
