#pragma once

#include <functional>
#include <string>

#include "platform/processsink.h"

// Diagnostics of the frame grabber. FFmpeg failures keep the library's own text (av_strerror)
// next to what the grabber was doing. Lines go to standard error unless a sink is installed.
namespace kivo::grabber {

using LogSink = std::function<void(const std::string &line)>;

// Installs the sink for the whole process and returns the previous one.
LogSink setLogSink(LogSink sink);

void logLine(const std::string &line);

// "<what>: <av_strerror text of error>"
void logAvError(const std::string &what, int error);

// Reads the log for the life of the object (tests).
using ScopedLogSink = CScopedSink<LogSink, &setLogSink>;

}  // namespace kivo::grabber
