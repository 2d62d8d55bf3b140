#include "media/grabber/grabberlog.h"

extern "C" {
#include <libavutil/error.h>
}

#include <cstdio>
#include <utility>

namespace kivo::grabber {
namespace {

CProcessSink<LogSink> &logSink() {
    static CProcessSink<LogSink> sink;
    return sink;
}

}  // namespace

LogSink setLogSink(LogSink sink) {
    return logSink().exchange(std::move(sink));
}

void logLine(const std::string &line) {
    if (const LogSink sink = logSink().current()) {
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
