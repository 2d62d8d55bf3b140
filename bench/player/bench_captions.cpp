// A 2 MB SAMI file of 20,000 Korean captions read and converted into a scene-description file,
// the caption track the engine gets of it when a video opens, and the caption lookup over
// 20,000 captions (the plain one and the caption box's, which also catches a stepped-over one).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <QString>

#include "player/captions/captionlist.h"
#include "player/captions/captiontrack.h"
#include "player/captions/samiconversion.h"
#include "player/captions/samireader.h"
#include "player/captions/samiwriter.h"
#include "scene/scvfile.h"

namespace {

constexpr int kCaptions = 20000;

std::string tempPath(const char *extension) {
    return (std::filesystem::temp_directory_path() /
            ("kivo-bench-" + std::to_string(::getpid()) + extension))
        .string();
}

// Two seconds apart, about 100 bytes of file each.
std::vector<CCaptionEntry> makeCaptions() {
    std::vector<CCaptionEntry> captions(kCaptions);
    for (int i = 0; i < kCaptions; ++i) {
        captions[i].time = i * 2e7;
        captions[i].text = "자막 " + std::to_string(i) +
                           ": 오늘 저녁 뉴스는 여기까지입니다 감사합니다! 안녕히 주무세요";
    }
    return captions;
}

void BM_ReadSamiAndSaveScv(benchmark::State &state) {
    const std::string smi = tempPath(".smi");
    const std::string scv = tempPath(".scv");
    if (kivo::captions::saveSamiFile(smi, makeCaptions()).status !=
        kivo::captions::SamiWriteStatus::Saved) {
        state.SkipWithError("cannot write the SAMI file");
        return;
    }
    for (auto _ : state) {
        const auto entries = kivo::captions::loadSamiFile(smi);
        if (!entries || entries->size() != kCaptions ||
            !saveScv(*kivo::captions::descriptionFromSami(*entries, "video.mp4"), scv)) {
            state.SkipWithError("conversion failed");
        }
    }
    state.counters["smiBytes"] = static_cast<double>(std::filesystem::file_size(smi));
    std::filesystem::remove(smi);
    std::filesystem::remove(scv);
}
BENCHMARK(BM_ReadSamiAndSaveScv)->Unit(benchmark::kMillisecond);

void BM_FindCaption(benchmark::State &state) {
    const std::vector<CCaptionEntry> captions = makeCaptions();
    double position = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kivo::captions::findCaptionAt(captions, position));
        position = position < kCaptions * 2e7 ? position + 7'777'777 : 0;
    }
}
BENCHMARK(BM_FindCaption);

void BM_FindCaptionReached(benchmark::State &state) {
    const std::vector<CCaptionEntry> captions = makeCaptions();
    double position = 0;
    for (auto _ : state) {
        const double next = position < kCaptions * 2e7 ? position + 1'250'000 : 0;
        benchmark::DoNotOptimize(kivo::captions::findCaptionReached(captions, position, next));
        position = next;
    }
}
BENCHMARK(BM_FindCaptionReached);

void BM_WriteCaptionTrack(benchmark::State &state) {
    const std::string smi = tempPath(".smi");
    const std::string folder = tempPath("-tracks");
    if (kivo::captions::saveSamiFile(smi, makeCaptions()).status !=
        kivo::captions::SamiWriteStatus::Saved) {
        state.SkipWithError("cannot write the SAMI file");
        return;
    }
    for (auto _ : state) {
        if (kivo::captions::writeCaptionTrack(QString::fromStdString(smi),
                                              QString::fromStdString(folder))
                .isEmpty()) {
            state.SkipWithError("no track");
        }
    }
    std::filesystem::remove(smi);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteCaptionTrack)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
