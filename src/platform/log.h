#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/processsink.h"

// Diagnostics of the libraries: what failed and why, with the outside library's own text kept.
// Every library logs under a category of its own ("grabber", "imaging", ...); each program
// installs one sink for the process (the Qt programs route the lines into Qt's logging under
// "kivo.<category>"). Without a sink, lines go to standard error as "<category>: <text>".
namespace kivo {

enum class LogLevel { Info, Warning };

using LogSink =
    std::function<void(LogLevel level, std::string_view category, const std::string &text)>;

// Installs the sink for the whole process and returns the previous one. The sink may be called
// from any thread.
LogSink setLogSink(LogSink sink);

void log(LogLevel level, std::string_view category, const std::string &text);

inline void logInfo(std::string_view category, const std::string &text) {
    log(LogLevel::Info, category, text);
}
inline void logWarning(std::string_view category, const std::string &text) {
    log(LogLevel::Warning, category, text);
}

// Takes the lines for the life of the object (tests).
using ScopedLogSink = CScopedSink<LogSink, &setLogSink>;

}  // namespace kivo
