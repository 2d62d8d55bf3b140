#include <gtest/gtest.h>

#include <vector>

#include "scene/videodescription.h"
#include "segmenter/neuralnetwork.h"
#include "segmenter/resources.h"
#include "segmenter/scenecutdetector.h"

using kivo::FrameFeatures;

namespace {

// A bright, detailed picture: far above the dark-run limit.
constexpr double kBright = 60.0;

FrameFeatures pair(double score, double greySpread = kBright) {
    FrameFeatures f{};
    f[kivo::kGreySpread] = greySpread;
    f[kivo::kCutScore] = score;
    return f;
}

// Drives the decision logic with feature sequences; several competing candidates need frames,
// which this fixture does not have (see the video tests for that case).
class DetectorLogic : public ::testing::Test {
protected:
    DetectorLogic() : m_network(kivo::kWeightResourceId, kivo::kWeightResourceType) {}

    // Processes frames from..to (inclusive) with the given features; returns the announced cuts.
    std::vector<double> run(double from, double to, const FrameFeatures &features) {
        std::vector<double> cuts;
        for (double k = from; k <= to; ++k) {
            const double cut = m_detector.process(k, features);
            if (cut != -1.0) {
                cuts.push_back(cut);
            }
        }
        return cuts;
    }
    double step(double frame, const FrameFeatures &features) {
        return m_detector.process(frame, features);
    }
    std::vector<double> sceneFrames() const {
        std::vector<double> frames;
        const CSceneNode *levelOne = m_description.root().child(0);
        for (int i = 0; levelOne && i < levelOne->childCount(); ++i) {
            frames.push_back(levelOne->child(i)->frame());
        }
        return frames;
    }

    CNeuralNetwork m_network;
    CVideoDescription m_description;
    CSceneCutDetector m_detector{nullptr, m_network, m_description};
};

}  // namespace

TEST_F(DetectorLogic, StartsAFreshTreeAndAnnouncesTheFirstSceneAtZero) {
    CVideoDescription description;
    description.root().addChild(500.0)->addChild(600.0);
    CSceneCutDetector detector(nullptr, m_network, description);
    const CSceneNode &root = description.root();
    ASSERT_EQ(root.childCount(), 1);
    EXPECT_EQ(root.expanded(), 1);
    const CSceneNode *levelOne = root.child(0);
    EXPECT_EQ(levelOne->frame(), 0.0);
    EXPECT_EQ(levelOne->expanded(), 1);
    ASSERT_EQ(levelOne->childCount(), 1);
    EXPECT_EQ(levelOne->child(0)->frame(), 0.0);

    EXPECT_EQ(detector.process(0, pair(0.0)), 0.0);
    EXPECT_EQ(detector.process(1, pair(0.0)), -1.0);
    EXPECT_EQ(detector.lastCutScore(), 0.0);
}

TEST_F(DetectorLogic, SingleCandidateConfirmedOnTheFifthQuietFrame) {
    EXPECT_EQ(run(0, 9, pair(0.1)), std::vector<double>{0});
    EXPECT_EQ(step(10, pair(0.97)), -1.0);
    EXPECT_EQ(m_detector.candidates(), std::vector<double>{10});
    // Quiet frames include a score of exactly 0.5, which is no candidate.
    EXPECT_EQ(step(11, pair(0.5)), -1.0);
    EXPECT_TRUE(run(12, 14, pair(-0.8)).empty());
    EXPECT_EQ(m_detector.quietCount(), 4.0);
    EXPECT_EQ(step(15, pair(0.2)), 11.0);
    EXPECT_EQ(m_detector.lastCutScore(), 0.97);
    EXPECT_EQ(sceneFrames(), (std::vector<double>{0, 11}));
    EXPECT_TRUE(m_detector.candidates().empty());
    EXPECT_EQ(m_detector.quietCount(), 0.0);
    // The history now starts at the new scene: frames 11..15.
    EXPECT_EQ(m_detector.currentSceneFrame(), 11.0);
    EXPECT_EQ(m_detector.historySize(), 5u);
}

TEST_F(DetectorLogic, SingleCandidateBelowTheThresholdCutsNothing) {
    struct Case {
        double score;
        bool cuts;
    };
    for (const Case c : {Case{0.9, false}, Case{0.95, false}, Case{0.9500001, true}}) {
        CVideoDescription description;
        CSceneCutDetector detector(nullptr, m_network, description);
        std::vector<double> cuts;
        for (double k = 0; k < 30; ++k) {
            const double cut = detector.process(k, pair(k == 10 ? c.score : 0.0));
            if (cut > 0) {
                cuts.push_back(cut);
            }
        }
        EXPECT_EQ(cuts, c.cuts ? std::vector<double>{11} : std::vector<double>{}) << c.score;
        EXPECT_TRUE(detector.candidates().empty()) << c.score;
    }
}

TEST_F(DetectorLogic, ThresholdIsAdjustable) {
    m_detector.setThreshold(0.6);
    run(0, 9, pair(0.0));
    step(10, pair(0.7));
    EXPECT_EQ(run(11, 15, pair(0.0)), std::vector<double>{11});
}

TEST_F(DetectorLogic, SeveralCandidatesWithoutFramesAreDropped) {
    run(0, 9, pair(0.0));
    step(10, pair(0.99));
    step(11, pair(0.99));
    EXPECT_TRUE(run(12, 16, pair(0.0)).empty());
    EXPECT_TRUE(m_detector.candidates().empty());
    EXPECT_EQ(sceneFrames(), std::vector<double>{0});
}

TEST_F(DetectorLogic, CandidateRunKeepsGrowingWhileScoresStayHigh) {
    run(0, 9, pair(0.0));
    for (double k = 10; k < 14; ++k) {
        step(k, pair(0.99));
        step(k + 0.5, pair(0.0));  // never five quiet frames in a row
    }
    EXPECT_EQ(m_detector.candidates().size(), 4u);
    EXPECT_EQ(m_detector.quietCount(), 1.0);
}

TEST_F(DetectorLogic, OpeningOnBlackGetsNoExtraCut) {
    EXPECT_EQ(run(0, 29, pair(0.0, 3.0)), std::vector<double>{0});
    EXPECT_EQ(m_detector.pendingDarkStart(), 0.0);
    EXPECT_TRUE(m_detector.darkRunFromStart());
    EXPECT_TRUE(run(30, 60, pair(0.0)).empty());
    EXPECT_EQ(m_detector.pendingDarkStart(), -1.0);
    EXPECT_FALSE(m_detector.darkRunFromStart());
    EXPECT_EQ(sceneFrames(), std::vector<double>{0});
    // A later dark passage is judged normally.
    EXPECT_TRUE(run(61, 70, pair(0.0, 5.0)).empty());
    EXPECT_EQ(step(71, pair(0.0)), 62.0);
}

TEST_F(DetectorLogic, FadeThroughBlackCutsAfterTheDarkestFrame) {
    run(0, 29, pair(0.0));
    // Spread falls from 40 to 2 at frame 49, stays 2 to frame 52, rises again.
    std::vector<double> cuts;
    for (double k = 30; k <= 80; ++k) {
        const double spread = k < 49 ? 40.0 - 2.0 * (k - 30) : (k <= 52 ? 2.0 : 2.0 + 2 * (k - 52));
        const double cut = step(k, pair(0.0, std::max(spread, 2.0)));
        if (cut != -1.0) {
            cuts.push_back(cut);
        }
    }
    // The run began at 41 (spread 18) and ended at 61 (spread 20); the earliest darkest is 49.
    EXPECT_EQ(cuts, std::vector<double>{50});
    EXPECT_EQ(sceneFrames(), (std::vector<double>{0, 50}));
}

TEST_F(DetectorLogic, DarkRunCutClearsPendingCandidates) {
    run(0, 9, pair(0.0));
    step(10, pair(0.99, 5.0));  // a candidate that also starts a dark run
    EXPECT_EQ(m_detector.pendingDarkStart(), 10.0);
    step(11, pair(0.0, 4.0));
    // The run ends before five quiet frames: the dark-run detector cuts first.
    EXPECT_EQ(step(12, pair(0.0)), 12.0);
    EXPECT_TRUE(m_detector.candidates().empty());
    EXPECT_EQ(m_detector.quietCount(), 1.0);  // reset by the cut, then this quiet frame
    EXPECT_TRUE(run(13, 30, pair(0.0)).empty());
    EXPECT_EQ(sceneFrames(), (std::vector<double>{0, 12}));
}

TEST_F(DetectorLogic, NetworkCutClearsAPendingDarkRun) {
    run(0, 9, pair(0.0));
    step(10, pair(0.99));
    EXPECT_TRUE(run(11, 14, pair(0.0, 5.0)).empty());
    EXPECT_EQ(m_detector.pendingDarkStart(), 11.0);
    EXPECT_EQ(step(15, pair(0.0, 5.0)), 11.0);
    EXPECT_EQ(m_detector.pendingDarkStart(), -1.0);
    // Still dark: a new run starts at 16, and its end cuts within the new scene.
    step(16, pair(0.0, 1.0));
    EXPECT_EQ(m_detector.pendingDarkStart(), 16.0);
    EXPECT_EQ(step(17, pair(0.0)), 17.0);
}

TEST_F(DetectorLogic, ConcealedStretchesAreNoFades) {
    run(0, 9, pair(0.0));
    // The flat grey of a concealed stretch starts no dark run.
    for (double k = 10; k < 30; ++k) {
        EXPECT_EQ(m_detector.process(k, pair(0.0, 3.0), true), -1.0);
    }
    EXPECT_EQ(m_detector.pendingDarkStart(), -1.0);
    EXPECT_TRUE(run(30, 40, pair(0.0)).empty());
    // Within a real fade, a damaged picture darker than the rest is not its darkest frame.
    EXPECT_TRUE(run(41, 44, pair(0.0, 10.0)).empty());
    EXPECT_EQ(m_detector.process(45, pair(0.0, 1.0), true), -1.0);
    EXPECT_EQ(step(46, pair(0.0, 5.0)), -1.0);
    EXPECT_EQ(step(47, pair(0.0)), 47.0);
}

TEST_F(DetectorLogic, DetectorsCanBeSwitchedOff) {
    m_detector.setDarkRunDetectorOn(false);
    m_detector.setNetworkDetectorOn(false);
    run(0, 9, pair(0.0));
    step(10, pair(0.99, 1.0));
    EXPECT_TRUE(run(11, 20, pair(0.0)).empty());
    EXPECT_TRUE(m_detector.candidates().empty());
    EXPECT_EQ(m_detector.pendingDarkStart(), -1.0);

    m_detector.setNetworkDetectorOn(true);
    step(21, pair(0.99, 1.0));
    EXPECT_EQ(run(22, 26, pair(0.0)), std::vector<double>{22});
}

TEST_F(DetectorLogic, FrameMinusOneOnlyStoresFeatures) {
    EXPECT_EQ(step(-1, pair(0.99, 1.0)), 0.0);  // the first scene is still announced
    EXPECT_EQ(m_detector.historySize(), 1u);
    EXPECT_TRUE(m_detector.candidates().empty());
    EXPECT_EQ(m_detector.pendingDarkStart(), -1.0);
    EXPECT_EQ(m_detector.quietCount(), 0.0);
}

TEST_F(DetectorLogic, SkippedFramesDoNotShiftTheHistory) {
    // Frames 5..7 could not be fetched: the stored scores are found by frame, not by position.
    run(0, 4, pair(0.0));
    step(8, pair(0.97));
    EXPECT_EQ(run(9, 13, pair(0.0)), std::vector<double>{9});
    EXPECT_EQ(m_detector.lastCutScore(), 0.97);
    EXPECT_EQ(m_detector.historySize(), 5u);  // frames 9..13
}
