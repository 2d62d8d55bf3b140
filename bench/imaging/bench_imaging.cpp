// Speed of the picture operations on full-HD frames: grey copy, thumbnail and half-size resizing,
// and the JPEG, GIF and BMP writers. swscale's conversions run beside the grey copy and the
// resizing as the peer to compare with.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

extern "C" {
#include <libswscale/swscale.h>
}

#include "imaging/dib.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// Smooth gradients with sensor-like noise: the hard case for the GIF compressor.
CDib cameraLikeFrame() {
    CDib dib;
    dib.createBlank(kWidth, kHeight, 24);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> noise(-6, 6);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t *p = dib.pixelAddress(0, y);
        for (int x = 0; x < kWidth; ++x, p += 3) {
            const int base[3] = {x * 255 / kWidth, y * 255 / kHeight,
                                 (x + y) * 255 / (kWidth + kHeight)};
            for (int c = 0; c < 3; ++c) {
                p[c] = static_cast<uint8_t>(std::clamp(base[c] + noise(random), 0, 255));
            }
        }
    }
    return dib;
}

// Frame 0 of the benchmark video, decoded by the ffmpeg command-line tool; empty when the video
// or the tool is missing.
CDib videoFrame() {
    CDib dib;
    const char *fixtures = std::getenv("KIVO_FIXTURES");
    if (fixtures == nullptr) {
        return dib;
    }
    const std::string command = std::string("ffmpeg -v error -nostdin -i '") + fixtures +
                                "/bench-1080p.mp4' -frames:v 1 -f rawvideo -pix_fmt bgr24 -";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return dib;
    }
    std::vector<uint8_t> frame(size_t{kWidth} * kHeight * 3);
    const size_t got = std::fread(frame.data(), 1, frame.size(), pipe);
    pclose(pipe);
    if (got != frame.size() || !dib.createBlank(kWidth, kHeight, 24)) {
        return CDib();
    }
    for (int y = 0; y < kHeight; ++y) {
        std::copy_n(frame.data() + size_t{kWidth} * 3 * y, kWidth * 3, dib.pixelAddress(0, y));
    }
    return dib;
}

const CDib &cameraPicture() {
    static const CDib camera = cameraLikeFrame();
    return camera;
}

// The picture chosen by the benchmark's first argument (0 camera-like, 1 video frame), or null
// after marking the benchmark skipped.
const CDib *pictureFor(benchmark::State &state) {
    static const CDib video = videoFrame();
    if (state.range(0) == 0) {
        state.SetLabel("camera-like");
        return &cameraPicture();
    }
    if (video.isEmpty()) {
        state.SkipWithError("no video frame (set KIVO_FIXTURES, run make-fixtures.sh --bench)");
        return nullptr;
    }
    state.SetLabel("video frame");
    return &video;
}

std::string scratchPath(const char *extension) {
    return "/tmp/kivo-bench-imaging-" + std::to_string(getpid()) + extension;
}

void BM_GreyCopy(benchmark::State &state) {
    const CDib *dib = pictureFor(state);
    if (dib == nullptr) {
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(dib->greyCopy());
    }
}

void BM_Resize(benchmark::State &state) {
    const CDib &dib = cameraPicture();
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(dib.resized(width, height));
    }
}

void BM_SaveJpeg(benchmark::State &state) {
    const CDib *dib = pictureFor(state);
    if (dib == nullptr) {
        return;
    }
    const std::string path = scratchPath(".jpg");
    for (auto _ : state) {
        if (!dib->saveAsJpeg(path, 1, 75)) {
            state.SkipWithError("JPEG save failed");
            break;
        }
    }
    std::remove(path.c_str());
}

void BM_SaveGif(benchmark::State &state) {
    const CDib *dib = pictureFor(state);
    if (dib == nullptr) {
        return;
    }
    const std::string path = scratchPath(".gif");
    for (auto _ : state) {
        if (!dib->saveAsGif(path)) {
            state.SkipWithError("GIF save failed");
            break;
        }
    }
    std::remove(path.c_str());
}

void BM_SaveBmp(benchmark::State &state) {
    const std::string path = scratchPath(".bmp");
    for (auto _ : state) {
        if (!cameraPicture().saveAsBmp(path)) {
            state.SkipWithError("BMP save failed");
            break;
        }
    }
    std::remove(path.c_str());
}

struct SwsDeleter {
    void operator()(SwsContext *context) const { sws_freeContext(context); }
};

// The peer: swscale converting the same bottom-up rows (walked top-down with a negative
// stride) to grey, or scaling them with point sampling.
void BM_PeerSwscale(benchmark::State &state) {
    const CDib &dib = cameraPicture();
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const bool grey = width == kWidth;
    std::unique_ptr<SwsContext, SwsDeleter> context(sws_getContext(
        kWidth, kHeight, AV_PIX_FMT_BGR24, width, height,
        grey ? AV_PIX_FMT_GRAY8 : AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr));
    if (!context) {
        state.SkipWithError("swscale refused the conversion");
        return;
    }
    const int outStride = (width * (grey ? 1 : 3) + 3) & ~3;
    std::vector<uint8_t> out(static_cast<size_t>(outStride) * height);
    const uint8_t *source[1] = {dib.pixelAddress(0, 0)};
    const int sourceStride[1] = {-dib.stride()};
    uint8_t *destination[1] = {out.data()};
    const int destinationStride[1] = {outStride};
    for (auto _ : state) {
        sws_scale(context.get(), source, sourceStride, 0, kHeight, destination, destinationStride);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(grey ? "grey 1920x1080"
                        : "point " + std::to_string(width) + "x" + std::to_string(height));
}

}  // namespace

BENCHMARK(BM_GreyCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resize)->Args({35, 18})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Resize)->Args({960, 540})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerSwscale)
    ->Args({1920, 1080})
    ->Args({960, 540})
    ->Args({35, 18})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveJpeg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveGif)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
