// Save and load of a 10,000-entry playlist (.mpl) and found-file list (.mfl) with Korean paths.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "player/lists/foundfiles.h"
#include "player/lists/playlistfile.h"

namespace {

std::string tempPath(const char *extension) {
    return (std::filesystem::temp_directory_path() /
            ("kivo-bench-" + std::to_string(::getpid()) + extension))
        .string();
}

std::string mediaPath(int64_t i) {
    return "/home/user/영상/모음 " + std::to_string(i / 100) + "/장면 " + std::to_string(i) +
           (i % 3 ? ".avi" : ".mp3");
}

kivo::lists::CPlaylist makePlaylist(int64_t entries) {
    kivo::lists::CPlaylist playlist;
    for (int64_t i = 0; i < entries; ++i) {
        playlist.append(mediaPath(i));
    }
    return playlist;
}

std::vector<kivo::lists::CFoundFile> makeFoundFiles(int64_t entries) {
    std::vector<kivo::lists::CFoundFile> files;
    for (int64_t i = 0; i < entries; ++i) {
        const std::string path = mediaPath(i);
        files.push_back({path.substr(path.rfind('/') + 1), "2024-05-17", path,
                         static_cast<uint64_t>(i) * 7919});
    }
    return files;
}

void BM_SavePlaylist(benchmark::State &state) {
    const kivo::lists::CPlaylist playlist = makePlaylist(state.range(0));
    const std::string path = tempPath(".mpl");
    for (auto _ : state) {
        if (!kivo::lists::savePlaylistFile(path, playlist)) {
            state.SkipWithError("save failed");
        }
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void BM_LoadPlaylist(benchmark::State &state) {
    const std::string path = tempPath(".mpl");
    kivo::lists::savePlaylistFile(path, makePlaylist(state.range(0)));
    for (auto _ : state) {
        kivo::lists::CPlaylist loaded;
        if (!kivo::lists::loadPlaylistFile(path, loaded)) {
            state.SkipWithError("load failed");
        }
        benchmark::DoNotOptimize(loaded.size());
    }
    std::filesystem::remove(path);
}

void BM_SaveFoundFiles(benchmark::State &state) {
    const std::vector<kivo::lists::CFoundFile> files = makeFoundFiles(state.range(0));
    const std::string path = tempPath(".mfl");
    for (auto _ : state) {
        if (!kivo::lists::saveFoundFilesFile(path, files)) {
            state.SkipWithError("save failed");
        }
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void BM_LoadFoundFiles(benchmark::State &state) {
    const std::string path = tempPath(".mfl");
    kivo::lists::saveFoundFilesFile(path, makeFoundFiles(state.range(0)));
    for (auto _ : state) {
        std::vector<kivo::lists::CFoundFile> loaded;
        if (!kivo::lists::loadFoundFilesFile(path, loaded)) {
            state.SkipWithError("load failed");
        }
        benchmark::DoNotOptimize(loaded.size());
    }
    std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_SavePlaylist)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPlaylist)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFoundFiles)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFoundFiles)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
