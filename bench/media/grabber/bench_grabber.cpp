// Speed of the frame grabber on the 1080p H.264 benchmark video (bench-1080p.mp4, GOP 250):
// walking every frame as grey pictures (the segmentation tool's use), random grabs (thumbnails),
// one picture's conversion, and opening a two-hour video when long-2h.mp4 is present (the
// side-by-side script grabber_vs_ffmpeg.sh makes it).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "media/grabber/internal/framedecoder.h"
#include "media/grabber/internal/pictureconverter.h"
#include "media/grabber/videomanager.h"

namespace {

std::string fixture(const char *name) {
    const char *folder = std::getenv("KIVO_FIXTURES");
    return std::string(folder != nullptr ? folder : "build/fixtures") + "/" + name;
}

double milliseconds(std::chrono::steady_clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

void WalkGreyPictures(benchmark::State &state) {
    int64_t frames = 0;
    for (auto _ : state) {
        CVideoManager video;
        if (!video.open(fixture("bench-1080p.mp4"))) {
            state.SkipWithError("bench-1080p.mp4 missing (tools/make-fixtures.sh --bench)");
            return;
        }
        for (double frame = 0; frame < video.duration(); ++frame) {
            benchmark::DoNotOptimize(video.greyPictureAt(frame));
            ++frames;
        }
    }
    state.SetItemsProcessed(frames);
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(WalkGreyPictures)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Each grab lands on a uniformly random frame, so nearly every one seeks to a key picture and
// decodes forward (half a group of pictures, 125 frames, on average).
void RandomGrab(benchmark::State &state) {
    CVideoManager video;
    if (!video.open(fixture("bench-1080p.mp4"))) {
        state.SkipWithError("bench-1080p.mp4 missing (tools/make-fixtures.sh --bench)");
        return;
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> anyFrame(0, static_cast<int>(video.duration()) - 1);
    std::vector<double> times;
    for (auto _ : state) {
        for (int i = 0; i < 40; ++i) {
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(video.pictureAt(anyFrame(random)));
            times.push_back(milliseconds(std::chrono::steady_clock::now() - start));
        }
    }
    state.counters["median_ms"] = percentile(times, 0.5);
    state.counters["p95_ms"] = percentile(times, 0.95);
}
BENCHMARK(RandomGrab)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Converting one decoded 1080p frame into a picture.
template <bool kGrey>
void ConvertPicture(benchmark::State &state) {
    kivo::grabber::CFrameDecoder decoder;
    if (!decoder.open(fixture("bench-1080p.mp4"))) {
        state.SkipWithError("bench-1080p.mp4 missing (tools/make-fixtures.sh --bench)");
        return;
    }
    const AVFrame *frame = decoder.frameAt(state.range(0));
    kivo::grabber::CPictureConverter converter(decoder.width(), decoder.height());
    for (auto _ : state) {
        benchmark::DoNotOptimize(kGrey ? converter.greyPicture(*frame)
                                       : converter.colourPicture(*frame));
    }
}
BENCHMARK_TEMPLATE(ConvertPicture, true)
    ->Name("GreyPicture")
    ->Arg(10)
    ->Arg(200)
    ->Arg(400)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(ConvertPicture, false)
    ->Name("ColourPicture")
    ->Arg(10)
    ->Arg(200)
    ->Arg(400)
    ->Unit(benchmark::kMicrosecond);

void OpenTwoHourVideo(benchmark::State &state) {
    for (auto _ : state) {
        CVideoManager video;
        if (!video.open(fixture("long-2h.mp4"))) {
            state.SkipWithError("long-2h.mp4 missing (bench/media/grabber/grabber_vs_ffmpeg.sh)");
            return;
        }
        state.counters["frames"] = video.duration();
    }
}
BENCHMARK(OpenTwoHourVideo)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
