#pragma once

#include <string>
#include <vector>

class CVideoDescription;

// What a segmentation run leaves behind besides the scene tree: the proposed name of the .scv
// file and a table of the scenes.
namespace kivo {

// The video's drive, folder and base name with ".scv" appended ("D:\clips\news.mpg" gives
// "D:\clips\news.scv"). Both separators are understood.
std::string proposedScvPath(const std::string &videoPath);

struct SceneRow {
    double firstFrame = 0.0;
    double time = 0.0;         // media time of the first frame
    double cutScore = 0.0;     // score of the pair that ends at the first frame
    bool hasCutScore = false;  // the first scene starts the video: no pair ends there
};

// One header line, then "index,first frame,time,score" per scene, indices from 1; the time as
// HH:MM:SS.
std::string scenesCsv(const std::vector<SceneRow> &scenes);

}  // namespace kivo
