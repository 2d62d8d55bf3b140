#include "segmenter/segmentcommand.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "media/grabber/videomanager.h"
#include "platform/atomicfile.h"
#include "platform/messages.h"
#include "scene/scvfile.h"
#include "scene/videodescription.h"
#include "segmenter/neuralnetwork.h"
#include "segmenter/resources.h"
#include "segmenter/segmentation.h"
#include "segmenter/segmentationoutput.h"
#include "segmenter/terminalprogress.h"

namespace {

constexpr const char *kUnsupportedVideoMessage = "본 파일은 자동분할을 지원하지 않습니다.";

struct Options {
    std::string video;
    std::string output;
    std::string csv;
    bool quiet = false;
};

std::optional<Options> parseOptions(int count, const char *const *arguments) {
    Options options;
    if (count < 2 || std::string_view(arguments[0]) != "--segment") {
        return std::nullopt;
    }
    options.video = arguments[1];
    for (int i = 2; i < count; ++i) {
        const std::string_view word = arguments[i];
        if (word == "--quiet") {
            options.quiet = true;
        } else if ((word == "--output" || word == "--csv") && i + 1 < count) {
            (word == "--output" ? options.output : options.csv) = arguments[++i];
        } else {
            return std::nullopt;
        }
    }
    if (options.video.empty()) {
        return std::nullopt;
    }
    return options;
}

// The scenes of the finished tree with the scores their cuts were announced with.
std::vector<kivo::SceneRow> sceneRows(const CVideoDescription &description,
                                      const CVideoManager &video,
                                      const std::map<double, double> &cutScores) {
    std::vector<kivo::SceneRow> rows;
    const CSceneNode *levelOne =
        description.root().childCount() > 0 ? description.root().child(0) : nullptr;
    for (int i = 0; levelOne && i < levelOne->childCount(); ++i) {
        const double frame = levelOne->child(i)->frame();
        kivo::SceneRow row;
        row.firstFrame = frame;
        row.time = video.frameToTime(frame);
        const auto score = cutScores.find(frame);
        row.hasCutScore = frame > 0 && score != cutScores.end();
        row.cutScore = row.hasCutScore ? score->second : 0.0;
        rows.push_back(row);
    }
    return rows;
}

// True when writing `output` would overwrite the video itself.
bool replacesVideo(const std::string &output, const std::string &video) {
    std::error_code error;
    return std::filesystem::equivalent(output, video, error);
}

}  // namespace

const char *segmentCommandUsage() {
    return "usage: KIVOS --segment VIDEO [--output FILE.scv] [--csv FILE.csv] [--quiet]";
}

int runSegmentCommand(int count, const char *const *arguments) {
    const std::optional<Options> options = parseOptions(count, arguments);
    if (!options) {
        std::fprintf(stderr, "%s\n", segmentCommandUsage());
        return 2;
    }
    CNeuralNetwork network(kivo::kWeightResourceId, kivo::kWeightResourceType);
    if (network.layerCount() == 0) {
        return 1;  // the loader has said why
    }
    CVideoManager video;
    if (!video.open(options->video)) {
        kivo::showMessage(kUnsupportedVideoMessage);
        return 2;
    }

    // The stored media path is absolute, so the file resolves wherever it is opened from.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(options->video, error);
    const std::string mediaPath = error ? options->video : absolute.string();
    CVideoDescription description;
    description.setMediaPath(mediaPath);

    const double total = video.duration();
    std::optional<CTerminalProgress> progress;
    if (!options->quiet && ::isatty(STDERR_FILENO)) {
        progress.emplace(stderr, total);
    }
    std::map<double, double> cutScores;
    double lastFrame = 0.0;

    SegmentationParams params;
    params.video = &video;
    params.description = &description;
    params.network = &network;
    params.cutImages = 0;  // nobody looks at them here
    params.report = [&](const SegmentationReport &report) {
        if (report.finished || report.stopped) {
            return;
        }
        if (report.cutFrame > 0) {
            cutScores[report.cutFrame] = report.cutScore;
        }
        lastFrame = report.frame;
        if (progress) {
            progress->update(report.frame);
        }
    };
    CSegmentationRun run;
    run.start(params);
    run.wait();
    if (progress) {
        progress->finish(lastFrame > 0 ? lastFrame + 1 : lastFrame);
    }

    const std::string output =
        options->output.empty() ? kivo::proposedScvPath(mediaPath) : options->output;
    for (const std::string &target : {output, options->csv}) {
        if (!target.empty() && replacesVideo(target, options->video)) {
            std::fprintf(stderr, "KIVOS: %s is the video itself; nothing written\n",
                         target.c_str());
            return 2;
        }
    }
    if (!saveScv(description, output)) {
        std::fprintf(stderr, "KIVOS: cannot write %s\n", output.c_str());
        return 1;
    }
    const std::vector<kivo::SceneRow> rows = sceneRows(description, video, cutScores);
    if (!options->quiet) {
        std::printf("%zu scenes written to %s\n", rows.size(), output.c_str());
    }
    if (!options->csv.empty()) {
        const std::string csv = kivo::scenesCsv(rows);
        if (!kivo::writeFileAtomically(
                options->csv, {reinterpret_cast<const uint8_t *>(csv.data()), csv.size()})) {
            std::fprintf(stderr, "KIVOS: cannot write %s\n", options->csv.c_str());
            return 1;
        }
        if (!options->quiet) {
            std::printf("scene table written to %s\n", options->csv.c_str());
        }
    }
    return 0;
}
