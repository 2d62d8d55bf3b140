#pragma once

#include <functional>
#include <string>

// Diagnostics of the frame grabber. FFmpeg failures keep the library's own text (av_strerror)
// next to what the grabber was doing. Lines go to standard error unless a sink is installed.
namespace kivo::grabber {

using LogSink = std::function<void(const std::string &line)>;

// Installs the sink for the whole process and returns the previous one.
LogSink setLogSink(LogSink sink);

void logLine(const std::string &line);

// "<what>: <av_strerror text of error>"
void logAvError(const std::string &what, int error);

// Installs a sink for the life of the object; tests use it to read the log.
class ScopedLogSink {
public:
    explicit ScopedLogSink(LogSink sink) : m_previous(setLogSink(std::move(sink))) {}
    ~ScopedLogSink() { setLogSink(std::move(m_previous)); }
    ScopedLogSink(const ScopedLogSink &) = delete;
    ScopedLogSink &operator=(const ScopedLogSink &) = delete;

private:
    LogSink m_previous;
};

}  // namespace kivo::grabber
