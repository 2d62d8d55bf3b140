#include "segmenter/segmentationoutput.h"

#include <cstdio>

#include "scene/mediatime.h"

namespace kivo {

std::string proposedScvPath(const std::string &videoPath) {
    const size_t separator = videoPath.find_last_of("/\\");
    const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    // A drive letter alone ("D:news.mpg") also ends the folder part.
    const size_t folderEnd =
        nameStart == 0 && videoPath.size() >= 2 && videoPath[1] == ':' ? 2 : nameStart;
    const size_t dot = videoPath.find_last_of('.');
    const size_t baseEnd = dot != std::string::npos && dot >= folderEnd ? dot : videoPath.size();
    return videoPath.substr(0, baseEnd) + ".scv";
}

std::string scenesCsv(const std::vector<SceneRow> &scenes) {
    std::string csv = "index,first_frame,time,score\n";
    int index = 1;
    for (const SceneRow &scene : scenes) {
        char line[160];
        char score[48] = "";
        if (scene.hasCutScore) {
            std::snprintf(score, sizeof score, "%.6f", scene.cutScore);
        }
        std::snprintf(line, sizeof line, "%d,%.0f,%s,%s\n", index++, scene.firstFrame,
                      kivo::scene::formatMediaTime(scene.time).c_str(), score);
        csv += line;
    }
    return csv;
}

}  // namespace kivo
