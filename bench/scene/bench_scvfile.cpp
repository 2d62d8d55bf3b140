// Save and load of a 100,000-node scene tree with Korean titles and comments.

#include "scene/scvfile.h"
#include "scene/videodescription.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

constexpr int kNodes = 100000;

void fillLargeTree(CVideoDescription &doc) {
    doc.setMediaPath("/home/user/영상/긴 영화.mp4");
    CSceneNode *level1 = doc.root().addChild(0.0);
    // 1,000 chapters of 99 scenes each, plus the level-1 node.
    for (int chapter = 0; chapter < 1000; ++chapter) {
        CSceneNode *node = level1->addChild(chapter * 1000.0);
        node->info().title = "챕터 " + std::to_string(chapter) + " 시작";
        for (int scene = 1; scene < 100; ++scene) {
            CSceneNode *leaf = node->addChild(chapter * 1000.0 + scene * 10);
            leaf->info().title = "장면 " + std::to_string(scene) + ": 인터뷰와 현장";
            leaf->info().comment = scene % 3 ? "" : "주석 comment";
        }
    }
}

std::string tempPath() {
    return (std::filesystem::temp_directory_path() /
            ("kivo-bench-" + std::to_string(::getpid()) + ".scv"))
        .string();
}

void BM_SaveLargeTree(benchmark::State &state) {
    CVideoDescription doc;
    fillLargeTree(doc);
    const std::string path = tempPath();
    for (auto _ : state) {
        if (!saveScv(doc, path)) {
            state.SkipWithError("save failed");
        }
    }
    state.counters["nodes"] = kNodes;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void BM_LoadLargeTree(benchmark::State &state) {
    CVideoDescription doc;
    fillLargeTree(doc);
    const std::string path = tempPath();
    saveScv(doc, path);
    for (auto _ : state) {
        CVideoDescription loaded;
        if (loadScv(path, loaded) != ScvReadResult::Ok) {
            state.SkipWithError("load failed");
        }
        benchmark::DoNotOptimize(loaded.root().childCount());
    }
    state.counters["nodes"] = kNodes;
    std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_SaveLargeTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLargeTree)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
