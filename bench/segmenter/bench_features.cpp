// Cost of the worker's own per-frame work on full-HD grey frames: the pair scan (difference and
// grey histograms), the features and the network, next to the grey histogram alone. "test
// patterns" is a pair of consecutive frames of the test-pattern benchmark video (large unchanged
// areas), "natural" of the natural-footage one (a slow zoom: nearly every pixel changes a
// little); "noise" changes every pixel, the scan's worst case.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "imaging/dib.h"
#include "media/grabber/videomanager.h"
#include "segmenter/framefeatures.h"
#include "segmenter/neuralnetwork.h"
#include "segmenter/resources.h"

namespace {

struct FramePair {
    std::unique_ptr<CDib> previous;
    std::unique_ptr<CDib> current;
};

FramePair noisePair() {
    FramePair p;
    p.previous = std::make_unique<CDib>();
    p.current = std::make_unique<CDib>();
    p.previous->createBlank(1920, 1080, 8);
    p.current->createBlank(1920, 1080, 8);
    std::mt19937 random(1);
    for (int y = 0; y < 1080; ++y) {
        for (int x = 0; x < 1920; ++x) {
            const int base = (x / 8 + y / 6) % 200;
            *p.previous->pixelAddress(x, y) = static_cast<uint8_t>(base + random() % 8);
            *p.current->pixelAddress(x, y) = static_cast<uint8_t>((base + 1) % 200 + random() % 8);
        }
    }
    return p;
}

// Frames 60 and 61 of a benchmark video, or the noise pair when the video is not there.
FramePair videoPair(const char *name) {
    FramePair p;
    if (const char *dir = std::getenv("KIVO_FIXTURES")) {
        CVideoManager video;
        if (video.open(std::string(dir) + "/" + name)) {
            p.previous = video.greyPictureAt(60);
            p.current = video.greyPictureAt(61);
        }
    }
    return p.previous && p.current ? std::move(p) : noisePair();
}

const FramePair &framePair(int which) {
    static const FramePair video = videoPair("bench-1080p.mp4");
    static const FramePair noise = noisePair();
    static const FramePair natural = videoPair("bench-natural-1080p.mp4");
    return which == 0 ? video : which == 1 ? noise : natural;
}

void BM_PairFeatures(benchmark::State &state) {
    const FramePair &pair = framePair(static_cast<int>(state.range(0)));
    static const char *const kLabels[] = {"test patterns", "noise", "natural"};
    state.SetLabel(kLabels[state.range(0)]);
    CNeuralNetwork network(kivo::kWeightResourceId, kivo::kWeightResourceType);
    const kivo::GreyPlane previous = kivo::greyPlaneOf(*pair.previous);
    const kivo::GreyPlane current = kivo::greyPlaneOf(*pair.current);
    kivo::GreyHistogram previousHistogram;
    kivo::GreyHistogram currentHistogram;
    kivo::computeGreyHistogram(previous, previousHistogram);
    for (auto _ : state) {
        const kivo::FrameFeatures features =
            kivo::analyzeFramePair(previous, current, previousHistogram, currentHistogram, network);
        benchmark::DoNotOptimize(features);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(previous.pixelCount()));
}
BENCHMARK(BM_PairFeatures)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_GreyHistogram(benchmark::State &state) {
    const kivo::GreyPlane plane = kivo::greyPlaneOf(*framePair(0).current);
    kivo::GreyHistogram histogram;
    for (auto _ : state) {
        kivo::computeGreyHistogram(plane, histogram);
        benchmark::DoNotOptimize(histogram);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(plane.pixelCount()));
}
BENCHMARK(BM_GreyHistogram)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
