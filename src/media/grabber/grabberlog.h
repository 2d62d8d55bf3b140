#pragma once

#include <string>

// Diagnostics of the frame grabber, under the log category "grabber". FFmpeg failures keep the
// library's own text (av_strerror) next to what the grabber was doing.
namespace kivo::grabber {

inline constexpr char kLogCategory[] = "grabber";

void logLine(const std::string &line);

// "<what>: <av_strerror text of error>"
void logAvError(const std::string &what, int error);

}  // namespace kivo::grabber
