#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "imaging/dib.h"
#include "media/grabber/videomanager.h"
#include "scene/videodescription.h"
#include "segmenter/framefeatures.h"
#include "segmenter/neuralnetwork.h"
#include "segmenter/recentgreyframes.h"
#include "segmenter/resources.h"
#include "segmenter/scenecutdetector.h"
#include "segmenter/segmentation.h"

namespace fs = std::filesystem;

namespace {

std::string fixture(const std::string &name) {
    const char *dir = std::getenv("KIVO_FIXTURES");
    return std::string(dir ? dir : "fixtures") + "/" + name;
}

// What a report said, copied while its pictures were valid.
struct SeenReport {
    double frame;
    double cutFrame;
    double score;
    int currentBits;
    int currentWidth;
    int cutBits;
    int cutWidth;
    int finished;
    int stopped;
};

struct RunResult {
    std::vector<SeenReport> reports;
    std::vector<double> scenes;  // frames of the level-1 node's children
    int levelOneNodes = 0;

    std::vector<double> cutFrames() const {
        std::vector<double> cuts;
        for (const SeenReport &r : reports) {
            if (r.cutFrame != -1.0 && !r.finished && !r.stopped) {
                cuts.push_back(r.cutFrame);
            }
        }
        return cuts;
    }
};

SeenReport seen(const SegmentationReport &r) {
    return {r.frame,
            r.cutFrame,
            r.score,
            r.currentImage ? r.currentImage->bitCount() : 0,
            r.currentImage ? r.currentImage->width() : 0,
            r.cutImage ? r.cutImage->bitCount() : 0,
            r.cutImage ? r.cutImage->width() : 0,
            r.finished,
            r.stopped};
}

std::vector<double> sceneFrames(const CVideoDescription &description, int *levelOneNodes) {
    std::vector<double> frames;
    *levelOneNodes = description.root().childCount();
    if (*levelOneNodes > 0) {
        const CSceneNode *levelOne = description.root().child(0);
        for (int i = 0; i < levelOne->childCount(); ++i) {
            frames.push_back(levelOne->child(i)->frame());
        }
    }
    return frames;
}

class Segmentation : public ::testing::Test {
protected:
    Segmentation() : m_network(kivo::kWeightResourceId, kivo::kWeightResourceType) {}

    // Runs the worker on the test thread; `onReport` sees every report first.
    RunResult segment(const std::string &path,
                      const std::function<void(SegmentationParams &)> &tune = nullptr,
                      const std::function<void(const SegmentationReport &)> &onReport = nullptr) {
        CVideoManager video;
        EXPECT_EQ(video.open(path), 1) << path;
        return segmentOpened(video, tune, onReport);
    }

    RunResult segmentOpened(const CVideoManager &video,
                            const std::function<void(SegmentationParams &)> &tune,
                            const std::function<void(const SegmentationReport &)> &onReport) {
        RunResult run;
        CVideoDescription description;
        SegmentationParams params;
        params.video = &video;
        params.description = &description;
        params.network = &m_network;
        params.report = [&](const SegmentationReport &report) {
            if (onReport) {
                onReport(report);
            }
            run.reports.push_back(seen(report));
        };
        if (tune) {
            tune(params);
        }
        EXPECT_EQ(SegmentationThread(params), 0);
        run.scenes = sceneFrames(description, &run.levelOneNodes);
        return run;
    }

    CNeuralNetwork m_network;
};

}  // namespace

TEST_F(Segmentation, HardCutsAreFoundAtTheirFirstFrameInEveryCodec) {
    for (const char *name : {"cuts.mp4", "cuts.mkv", "cuts.mpg", "cuts-mpeg4.avi", "cuts.wmv",
                             "cuts-mjpeg.avi", "cuts.mov"}) {
        const RunResult run = segment(fixture(name));
        EXPECT_EQ(run.levelOneNodes, 1) << name;
        EXPECT_EQ(run.scenes, (std::vector<double>{0, 40, 80, 120})) << name;
        EXPECT_EQ(run.cutFrames(), (std::vector<double>{0, 40, 80, 120})) << name;
    }
}

TEST_F(Segmentation, ReportsEveryFrameOnceThenFinishes) {
    const RunResult run = segment(fixture("cuts.mp4"));
    ASSERT_EQ(run.reports.size(), 160u);  // frames 1..159, then the final report
    for (size_t i = 0; i + 1 < run.reports.size(); ++i) {
        const SeenReport &r = run.reports[i];
        EXPECT_EQ(r.frame, static_cast<double>(i + 1));
        EXPECT_EQ(r.currentBits, 8);
        EXPECT_EQ(r.currentWidth, 320);
        EXPECT_EQ(r.finished + r.stopped, 0);
        // A colour picture accompanies each announced scene.
        EXPECT_EQ(r.cutBits, r.cutFrame != -1.0 ? 24 : 0) << r.frame;
        EXPECT_GE(r.score, -1.0);
        EXPECT_LE(r.score, 1.0);
    }
    EXPECT_EQ(run.reports.front().cutFrame, 0.0);
    // The pair ending at each cut scores as a cut.
    for (double cut : {40.0, 80.0, 120.0}) {
        EXPECT_GT(run.reports[static_cast<size_t>(cut) - 1].score, 0.95) << cut;
    }
    const SeenReport &last = run.reports.back();
    EXPECT_EQ(last.finished, 1);
    EXPECT_EQ(last.stopped, 0);
    EXPECT_EQ(last.currentBits, 0);
    EXPECT_EQ(last.cutBits, 0);
    EXPECT_EQ(last.cutFrame, -1.0);
}

TEST_F(Segmentation, RunWithoutCutPicturesFetchesNone) {
    const RunResult run =
        segment(fixture("cuts.mkv"), [](SegmentationParams &p) { p.cutImages = 0; });
    EXPECT_EQ(run.cutFrames(), (std::vector<double>{0, 40, 80, 120}));
    for (const SeenReport &r : run.reports) {
        EXPECT_EQ(r.cutBits, 0);
    }
}

TEST_F(Segmentation, FadeThroughBlackCutsAfterTheDarkestFrame) {
    // The darkest frame of the fade, measured independently of the worker.
    CVideoManager video;
    ASSERT_EQ(video.open(fixture("fade.mp4")), 1);
    double darkest = -1;
    double lowest = 1e9;
    for (double f = 20; f < 70; ++f) {
        const std::unique_ptr<CDib> grey = video.greyPictureAt(f);
        ASSERT_TRUE(grey);
        kivo::GreyHistogram histogram;
        kivo::computeGreyHistogram(kivo::greyPlaneOf(*grey), histogram);
        kivo::DifferenceHistogram none{};
        const double spread =
            kivo::featuresFromHistograms(none, histogram, histogram, 320 * 240)[kivo::kGreySpread];
        if (spread < lowest) {
            lowest = spread;
            darkest = f;
        }
    }
    ASSERT_GE(darkest, 45);
    ASSERT_LE(darkest, 60);

    const RunResult run = segment(fixture("fade.mp4"));
    EXPECT_EQ(run.scenes, (std::vector<double>{0, darkest + 1}));
    // The network alone sees no cut in a gradual fade.
    const RunResult networkOnly =
        segment(fixture("fade.mp4"), [](SegmentationParams &p) { p.darkRunDetectorOn = 0; });
    EXPECT_EQ(networkOnly.scenes, std::vector<double>{0});
}

TEST_F(Segmentation, BlackOpeningAddsNoDarkRunCut) {
    const RunResult darkOnly =
        segment(fixture("blackstart.mp4"), [](SegmentationParams &p) { p.networkDetectorOn = 0; });
    EXPECT_EQ(darkOnly.scenes, std::vector<double>{0});
    // Black to picture is itself a hard cut for the network, at the first picture frame.
    const RunResult both = segment(fixture("blackstart.mp4"));
    EXPECT_EQ(both.scenes, (std::vector<double>{0, 30}));
}

TEST_F(Segmentation, StopEndsTheRunAfterTheReportedPair) {
    const RunResult run = segment(fixture("cuts.mp4"), nullptr, [](const SegmentationReport &r) {
        if (r.frame == 50 && !r.finished && !r.stopped) {
            requestSegmentationStop();
        }
    });
    ASSERT_EQ(run.reports.size(), 51u);
    EXPECT_EQ(run.reports[49].frame, 50.0);
    EXPECT_EQ(run.reports.back().stopped, 1);
    EXPECT_EQ(run.reports.back().finished, 0);
    EXPECT_EQ(run.scenes, (std::vector<double>{0, 40}));
    // A new run clears the flags and starts from the beginning.
    const RunResult again = segment(fixture("cuts.mp4"));
    EXPECT_EQ(again.reports.back().finished, 1);
    EXPECT_EQ(again.scenes, (std::vector<double>{0, 40, 80, 120}));
}

TEST_F(Segmentation, PauseHoldsTheWorkerWithoutSpinningAndLosesNoFrame) {
    std::atomic<bool> paused{false};
    std::atomic<int> reports{0};
    double cpuDuringPause = -1;
    double wallDuringPause = -1;
    std::thread releaser;
    const RunResult run = segment(fixture("cuts.mp4"), nullptr, [&](const SegmentationReport &r) {
        ++reports;
        if (r.frame == 20 && !paused) {
            paused = true;
            requestSegmentationPause();
            releaser = std::thread([&] {
                // Let the frame walk fill its queue, then watch the process for a while.
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                const int before = reports;
                timespec cpu0{};
                clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu0);
                const auto wall0 = std::chrono::steady_clock::now();
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                timespec cpu1{};
                clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu1);
                wallDuringPause =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
                cpuDuringPause = (cpu1.tv_sec - cpu0.tv_sec) + (cpu1.tv_nsec - cpu0.tv_nsec) * 1e-9;
                EXPECT_EQ(reports, before);  // nothing was processed while paused
                releaseSegmentationPause();
            });
        }
    });
    releaser.join();
    ASSERT_EQ(run.reports.size(), 160u);
    for (size_t i = 0; i + 1 < run.reports.size(); ++i) {
        EXPECT_EQ(run.reports[i].frame, static_cast<double>(i + 1));
    }
    EXPECT_EQ(run.reports.back().finished, 1);
    EXPECT_LT(cpuDuringPause, 0.25 * wallDuringPause);
}

TEST_F(Segmentation, StopDuringAPauseEndsWithoutAnotherFrame) {
    std::thread stopper;
    const RunResult run = segment(fixture("cuts.mp4"), nullptr, [&](const SegmentationReport &r) {
        if (r.frame == 10 && !r.finished && !r.stopped) {
            requestSegmentationPause();
            stopper = std::thread([] {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                requestSegmentationStop();
            });
        }
    });
    stopper.join();
    ASSERT_EQ(run.reports.size(), 11u);
    EXPECT_EQ(run.reports.back().stopped, 1);
}

TEST_F(Segmentation, VideoWithoutFetchableFramesEndsWithTheFirstSceneOnly) {
    // The file disappears between opening and the run: the worker's own readers find nothing.
    const fs::path copy =
        fs::temp_directory_path() / ("kivo-vanishing-" + std::to_string(::getpid()) + ".mp4");
    fs::copy_file(fixture("cuts.mp4"), copy, fs::copy_options::overwrite_existing);
    CVideoManager video;
    ASSERT_EQ(video.open(copy.string()), 1);
    fs::remove(copy);
    const RunResult run = segmentOpened(video, nullptr, nullptr);
    ASSERT_EQ(run.reports.size(), 1u);
    EXPECT_EQ(run.reports[0].finished, 1);
    EXPECT_EQ(run.levelOneNodes, 1);
    EXPECT_EQ(run.scenes, std::vector<double>{0});
}

TEST_F(Segmentation, MissingInputsStillGiveAFinalReport) {
    std::vector<SeenReport> reports;
    SegmentationParams params;
    params.report = [&](const SegmentationReport &r) { reports.push_back(seen(r)); };
    EXPECT_EQ(SegmentationThread(params), 0);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].finished, 1);
}

TEST_F(Segmentation, WorkerThreadRunsAtIdlePriority) {
    CVideoManager video;
    ASSERT_EQ(video.open(fixture("cuts.mp4")), 1);
    CVideoDescription description;
    std::atomic<int> policy{-1};
    std::atomic<int> niceness{0};
    std::atomic<bool> finished{false};
    SegmentationParams params;
    params.video = &video;
    params.description = &description;
    params.network = &m_network;
    params.report = [&](const SegmentationReport &r) {
        policy = sched_getscheduler(0);
        niceness = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
        finished = r.finished != 0;
    };
    {
        CSegmentationRun run;
        ASSERT_EQ(run.start(params), 1);
        run.wait();
        EXPECT_FALSE(run.running());
    }
    EXPECT_TRUE(finished);
    EXPECT_TRUE(policy == SCHED_IDLE || niceness == 19) << policy << " " << niceness;
    EXPECT_NE(sched_getscheduler(0), SCHED_IDLE);  // the starting thread keeps its class
}

// The several-candidate check compares real frames around the candidates.
class SeveralCandidates : public ::testing::Test {
protected:
    SeveralCandidates()
        : m_network(kivo::kWeightResourceId, kivo::kWeightResourceType),
          m_frames(fixture("cuts.mp4"), 1),
          m_detector(&m_frames, m_network, m_description) {}

    // Quiet frames from `from`, candidates with the given scores, then quiet frames until the
    // detector decides; returns the scenes announced after the first.
    std::vector<double> decide(double from, const std::vector<double> &scores) {
        const double end = from + static_cast<double>(scores.size());
        return walk(m_detector, 0, end + 5, [&](double k) {
            return k >= from && k < end ? scores[static_cast<size_t>(k - from)] : 0.0;
        });
    }

    // Feeds the frames [from, to) but `steppedOver` (a picture the walk stepped over) with the
    // cut scores scoreOf(frame); returns the scenes announced after the first.
    static std::vector<double> walk(CSceneCutDetector &detector, double from, double to,
                                    const std::function<double(double)> &scoreOf,
                                    double steppedOver = -1) {
        std::vector<double> cuts;
        for (double k = from; k < to; ++k) {
            if (k == steppedOver) {
                continue;
            }
            kivo::FrameFeatures f{};
            f[kivo::kGreySpread] = 60;
            f[kivo::kCutScore] = scoreOf(k);
            const double cut = detector.process(k, f);
            if (cut > 0) {
                cuts.push_back(cut);
            }
        }
        return cuts;
    }

    CNeuralNetwork m_network;
    CVideoDescription m_description;
    CRecentGreyFrames m_frames;
    CSceneCutDetector m_detector;
};

TEST_F(SeveralCandidates, ConfirmedWhenTheFramesAroundThemDiffer) {
    // Frames 37 and 40 lie on either side of the cut at 40: the best candidate is the first of
    // the two equal best scores, 38, so the scene starts at 39.
    EXPECT_EQ(decide(37, {0.96, 0.99, 0.99}), std::vector<double>{39});
    EXPECT_EQ(m_frames.refetchCount(), 2);
    EXPECT_TRUE(m_detector.candidates().empty());
}

TEST_F(SeveralCandidates, DroppedWhenTheFramesAroundThemMatch) {
    // Frames 10 and 13 belong to the same scene.
    EXPECT_TRUE(decide(10, {0.96, 0.99, 0.99}).empty());
    EXPECT_TRUE(m_detector.candidates().empty());
}

TEST_F(SeveralCandidates, BestScoreMustStillPassTheThreshold) {
    EXPECT_TRUE(decide(37, {0.7, 0.9, 0.95}).empty());
}

// One odd picture (34: frames 33 and 35 match) just before the cut at 40 scores higher than the
// cut itself. Taken for a run of candidates, its pair wins; dropped as an odd picture, the cut
// stands alone.
TEST_F(SeveralCandidates, OddPicturesCanBeDroppedBeforeJudging) {
    const std::vector<double> scores = {0.99, 0.99, 0.0, 0.0, 0.0, 0.0, 0.97};
    EXPECT_EQ(decide(33, scores), std::vector<double>{34});
    CVideoDescription description;
    CSceneCutDetector dropping(&m_frames, m_network, description);
    dropping.setOddPicturesDropped(true);
    const std::vector<double> cuts = walk(dropping, 0, 50, [&](double k) {
        return k >= 33 && k < 40 ? scores[static_cast<size_t>(k - 33)] : 0.0;
    });
    EXPECT_EQ(cuts, std::vector<double>{40});
}

// The same odd picture 34 with the damaged picture 35 stepped over: the walk pairs 34 with 36,
// so the pair after the odd one is entry 35, not 34. Its neighbours 33 and 36 still match.
TEST_F(SeveralCandidates, OddPicturesAreFoundAcrossSteppedOverPictures) {
    CVideoDescription description;
    CSceneCutDetector dropping(&m_frames, m_network, description);
    dropping.setOddPicturesDropped(true);
    const auto scoreOf = [](double k) { return k == 33 || k == 35 ? 0.99 : k == 39 ? 0.97 : 0.0; };
    const std::vector<double> cuts = walk(dropping, 0, 50, scoreOf, 34);
    EXPECT_EQ(cuts, std::vector<double>{40});
}

// The cut's first picture, 40, damaged and stepped over: the walk pairs 39 with 41, and a
// damaged-looking 41 makes a second candidate. The run starts from picture 39, not 40, so the
// pictures around it differ and the cut stands.
TEST_F(SeveralCandidates, ARunAfterASteppedOverPictureStartsFromThePictureBefore) {
    const auto scoreOf = [](double k) { return k == 40 ? 0.99 : k == 41 ? 0.98 : 0.0; };
    const std::vector<double> cuts = walk(m_detector, 30, 50, scoreOf, 39);
    EXPECT_EQ(cuts, std::vector<double>{41});
}

TEST_F(SeveralCandidates, FramesBeyondTheVideoDropTheCandidates) {
    EXPECT_TRUE(decide(200, {0.99, 0.99}).empty());
}

TEST(RecentGreyFrames, KeepsTheLastFramesAndFetchesOlderOnes) {
    CRecentGreyFrames frames(fixture("cuts.mp4"), 3);
    CVideoManager video;
    ASSERT_EQ(video.open(fixture("cuts.mp4")), 1);
    for (double f = 0; f < 5; ++f) {
        frames.push(f, video.greyPictureAt(f));
    }
    EXPECT_EQ(frames.latest(), frames.greyFrame(4));
    EXPECT_NE(frames.greyFrame(2), nullptr);
    EXPECT_EQ(frames.refetchCount(), 0);
    const CDib *old = frames.greyFrame(0);  // dropped from the ring: decoded again
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(frames.refetchCount(), 1);
    const std::unique_ptr<CDib> expected = video.greyPictureAt(0);
    ASSERT_EQ(old->blockSize(), expected->blockSize());
    EXPECT_EQ(std::memcmp(old->block(), expected->block(), old->blockSize()), 0);
    const std::unique_ptr<CDib> colour = frames.colourPicture(40);
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->bitCount(), 24);
    EXPECT_EQ(frames.greyFrame(1000), nullptr);

    // A held frame outlives the ring without being decoded again; holding another lets it go.
    std::shared_ptr<const CDib> pushed = video.greyPictureAt(5);
    const CDib *held = pushed.get();
    frames.hold(5);
    frames.push(5, std::move(pushed));
    for (double f = 6; f < 12; ++f) {
        frames.push(f, video.greyPictureAt(f));
    }
    const int refetched = frames.refetchCount();
    EXPECT_EQ(frames.greyFrame(5), held);
    EXPECT_EQ(frames.refetchCount(), refetched);
    frames.hold(11);
    EXPECT_NE(frames.greyFrame(5), nullptr);
    EXPECT_EQ(frames.refetchCount(), refetched + 1);

    CRecentGreyFrames missing("/nonexistent/video.mp4", 2);
    EXPECT_EQ(missing.greyFrame(0), nullptr);
    EXPECT_EQ(missing.colourPicture(0), nullptr);
}
