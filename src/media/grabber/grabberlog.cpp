#include "media/grabber/grabberlog.h"

#include "platform/log.h"

extern "C" {
#include <libavutil/error.h>
}

namespace kivo::grabber {

void logLine(const std::string &line) {
    logWarning(kLogCategory, line);
}

void logAvError(const std::string &what, int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    logLine(what + ": " + text);
}

}  // namespace kivo::grabber
