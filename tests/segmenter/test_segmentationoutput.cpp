#include <gtest/gtest.h>

#include "segmenter/segmentationoutput.h"
#include "segmenter/terminalprogress.h"

TEST(SegmentationOutput, ProposedScvNameKeepsDriveFolderAndBaseName) {
    struct Case {
        const char *video;
        const char *scv;
    };
    const Case cases[] = {
        {"D:\\clips\\news.mpg", "D:\\clips\\news.scv"},
        {"/home/kim/clips/news.mpg", "/home/kim/clips/news.scv"},
        {"/v/movie.part1.mkv", "/v/movie.part1.scv"},
        {"/v/a.b/noextension", "/v/a.b/noextension.scv"},
        {"D:news.avi", "D:news.scv"},
        {"clip.wmv", "clip.scv"},
        {"C:\\mixed/dir.x\\name", "C:\\mixed/dir.x\\name.scv"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(kivo::proposedScvPath(c.video), c.scv) << c.video;
    }
}

TEST(SegmentationOutput, SceneTableLeavesTheFirstScoreEmpty) {
    const std::vector<kivo::SceneRow> rows = {
        {0, 0, 0, false},
        {40, 16000000, 0.990084, true},
        {1500, 600000000, -0.25, true},
    };
    EXPECT_EQ(kivo::scenesCsv(rows),
              "index,first_frame,time,score\n"
              "1,0,00:00:00,\n"
              "2,40,00:00:01,0.990084\n"
              "3,1500,00:01:00,-0.250000\n");
}

TEST(TerminalProgress, LineShowsPercentFrameRateAndTimeLeft) {
    EXPECT_EQ(CTerminalProgress::line(250, 1000, 10),
              "[#######-----------------------]  25%  frame 250/1000    25.0 fps  00:00:30 left");
    EXPECT_EQ(CTerminalProgress::line(0, 0, 0),
              "[------------------------------]   0%  frame 0/0     0.0 fps  00:00:00 left");
    EXPECT_EQ(CTerminalProgress::line(1000, 1000, 4).substr(0, 38),
              "[##############################] 100% ");
}
