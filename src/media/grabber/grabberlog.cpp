#include "media/grabber/grabberlog.h"

extern "C" {
#include <libavutil/error.h>
}

#include <cstdio>
#include <mutex>
#include <utility>

namespace kivo::grabber {
namespace {

std::mutex &sinkMutex() {
    static std::mutex mutex;
    return mutex;
}

LogSink &currentSink() {
    static LogSink sink;
    return sink;
}

}  // namespace

LogSink setLogSink(LogSink sink) {
    std::lock_guard lock(sinkMutex());
    return std::exchange(currentSink(), std::move(sink));
}

void logLine(const std::string &line) {
    LogSink sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = currentSink();
    }
    if (sink) {
        sink(line);
    } else {
        std::fprintf(stderr, "grabber: %s\n", line.c_str());
    }
}

void logAvError(const std::string &what, int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    logLine(what + ": " + text);
}

}  // namespace kivo::grabber
