#include "platform/log.h"

#include <cstdio>
#include <utility>

namespace kivo {
namespace {

CProcessSink<LogSink> &logSink() {
    static CProcessSink<LogSink> sink;
    return sink;
}

}  // namespace

LogSink setLogSink(LogSink sink) {
    return logSink().exchange(std::move(sink));
}

void log(LogLevel level, std::string_view category, const std::string &text) {
    if (const LogSink sink = logSink().current()) {
        sink(level, category, text);
    } else {
        std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(category.size()), category.data(),
                     text.c_str());
    }
}

}  // namespace kivo
