// Any bytes handed to the grabber as a video file: opening and grabbing a few frames (by random
// access, then walking on) must end with pictures or none, never a crash or an endless loop.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "media/grabber/videomanager.h"
#include "platform/log.h"

namespace {

volatile uint32_t g_sink;

// The grabber opens files by path: each input goes to one file per process, removed at exit.
// The name lives in a plain array, which outlives every exit handler.
char g_inputPath[64];

const char *inputPath() {
    if (g_inputPath[0] == '\0') {
        std::snprintf(g_inputPath, sizeof g_inputPath, "/tmp/fuzz_grabber-%d.bin",
                      static_cast<int>(getpid()));
        std::atexit([] { std::remove(g_inputPath); });
    }
    return g_inputPath;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const kivo::ScopedLogSink quiet(
        [](kivo::LogLevel, std::string_view, const std::string &) {});
    FILE *file = std::fopen(inputPath(), "wb");
    if (file == nullptr) {
        return 0;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    std::fclose(file);
    CVideoManager video;
    if (!written || !video.open(inputPath())) {
        return 0;
    }
    // A few bytes may declare a picture of tens of millions of pixels. Such a file opens (that
    // much is fuzzed), but converting twelve of its concealed pictures under the sanitizers takes
    // longer than an input's time limit, so pictures above 4K are not fetched.
    if (int64_t(video.pictureWidth()) * video.pictureHeight() > int64_t(4096) * 2304) {
        return 0;
    }
    uint32_t sum = 0;
    for (const double frame : {video.duration() / 2, 0.0, video.duration(), 1.0, 2.0, 3.0}) {
        const std::unique_ptr<CDib> grey = video.greyPictureAt(frame);
        const std::unique_ptr<CDib> colour = video.pictureAt(frame);
        sum += grey ? grey->bits()[0] : 1;
        sum += colour ? colour->bits()[0] : 1;
    }
    sum += static_cast<uint32_t>(video.frameToTime(video.timeToFrame(1e7)));
    g_sink = sum;
    return 0;
}
