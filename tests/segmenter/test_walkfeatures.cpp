// The features of real frame pairs, pinned to the values the detector has always computed, and
// the walk's row-by-row counting held to the whole-picture scan: a change to the grey conversion
// or to the pair scan that moves a single bit of a feature shows here.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "imaging/dib.h"
#include "media/grabber/videomanager.h"
#include "scene/videodescription.h"
#include "segmenter/framefeatures.h"
#include "segmenter/frameprefetcher.h"
#include "segmenter/greyrowpairs.h"
#include "segmenter/neuralnetwork.h"
#include "segmenter/resources.h"
#include "segmenter/segmentation.h"

using namespace kivo;

namespace {

std::string fixture(const std::string &name) {
    const char *dir = std::getenv("KIVO_FIXTURES");
    return std::string(dir ? dir : "fixtures") + "/" + name;
}

std::string hex(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

struct PinnedPair {
    const char *file;
    double previous;
    double current;
    FrameFeatures features;
};

// Computed by the detector before the walk counted rows as it converted them.
const PinnedPair kPinned[] = {
    // inside the first scene
    {"cuts.mp4",
     10,
     11,
     {0x1.63bd70a3d70a4p+1, 0x1.5455555555555p+1, 0x1.304bd6de1d13p+5, 0x1.07c538dae60b2p+6,
      -0x1.fe6c845fb1aedp-1}},
    // the cut to the second scene
    {"cuts.mp4",
     39,
     40,
     {0x1.4668851eb851fp+6, 0x1.5b62aaaaaaaabp+7, 0x1.cc900bca6b0bdp+2, 0x1.093e2d3950866p+6,
      0x1.faec82d5520cep-1}},
    // inside the third scene
    {"cuts.mp4",
     100,
     101,
     {0x1.41b8bf258bf26p+1, 0x1.8f2aaaaaaaaabp+2, 0x1.6f74dbbeb173dp+4, 0x1.407a170c42a62p+5,
      -0x1.fe65c821914cp-1}},
    // the cut to the fourth scene
    {"cuts.mp4",
     119,
     120,
     {0x1.09f1b851eb852p+6, 0x1.52f5555555555p+7, 0x1.6292a35bb0499p+1, 0x1.55b37ccfaf2dep+5,
      0x1.fa9ea509ed165p-1}},
    // fading out
    {"fade.mp4",
     40,
     41,
     {0x1.ecb5c28f5c28fp+2, 0x1.5c26aaaaaaaabp+7, 0x1.c812b053ef9f6p+3, 0x1.09e5320dbe3ebp+5,
      -0x1.f19d73865574p-1}},
    // black after the fade (constant pictures)
    {"fade.mp4", 55, 56, {0x0p+0, 0x0p+0, 0x1.618d7ea378ecbp+5, 0x0p+0, -0x1.fe78fbfef6875p-1}},
    // a cut, MPEG-4 part 2
    {"cuts-mpeg4.avi",
     79,
     80,
     {0x1.3af89d0369d03p+6, 0x1.5c3eaaaaaaaabp+7, 0x1.1fd3794b6ef31p+1, 0x1.36a10e4e63e34p+6,
      0x1.fa91b6b8558b4p-1}},
    // unchanged frames, WMV2
    {"cuts.wmv",
     60,
     61,
     {0x0p+0, 0x0p+0, 0x1.618d7ea378ecbp+5, 0x1.36a172ea865f5p+6, -0x1.fe78fbfef6875p-1}},
};

}  // namespace

TEST(PinnedFeatures, RealFramePairsKeepEveryBit) {
    CNeuralNetwork network(kWeightResourceId, kWeightResourceType);
    ASSERT_GT(network.layerCount(), 0);
    for (const PinnedPair &pin : kPinned) {
        CVideoManager video;
        ASSERT_EQ(video.open(fixture(pin.file)), 1) << pin.file;
        const std::unique_ptr<CDib> previous = video.greyPictureAt(pin.previous);
        const std::unique_ptr<CDib> current = video.greyPictureAt(pin.current);
        ASSERT_NE(previous, nullptr);
        ASSERT_NE(current, nullptr);
        GreyHistogram previousHistogram;
        GreyHistogram currentHistogram;
        computeGreyHistogram(greyPlaneOf(*previous), previousHistogram);
        const FrameFeatures features =
            analyzeFramePair(greyPlaneOf(*previous), greyPlaneOf(*current), previousHistogram,
                             currentHistogram, network);
        for (size_t i = 0; i < features.size(); ++i) {
            EXPECT_EQ(hex(features[i]), hex(pin.features[i]))
                << pin.file << " " << pin.previous << "-" << pin.current << " feature " << i;
        }
    }
}

TEST(PinnedFeatures, TheWalkReportsThePinnedScores) {
    CNeuralNetwork network(kWeightResourceId, kWeightResourceType);
    CVideoManager video;
    ASSERT_EQ(video.open(fixture("cuts.mp4")), 1);
    CVideoDescription description;
    std::map<double, double> scores;
    std::vector<double> cuts;
    SegmentationParams params;
    params.video = &video;
    params.description = &description;
    params.network = &network;
    params.cutImages = 0;
    params.report = [&](const SegmentationReport &report) {
        if (!report.finished && !report.stopped) {
            scores[report.frame] = report.score;
            if (report.cutFrame != -1.0) {
                cuts.push_back(report.cutFrame);
            }
        }
    };
    SegmentationThread(params);
    EXPECT_EQ(cuts, (std::vector<double>{0, 40, 80, 120}));
    int checked = 0;
    for (const PinnedPair &pin : kPinned) {
        if (std::string(pin.file) == "cuts.mp4") {
            ASSERT_EQ(scores.count(pin.current), 1u) << pin.current;
            EXPECT_EQ(hex(scores[pin.current]), hex(pin.features[kCutScore])) << pin.current;
            ++checked;
        }
    }
    EXPECT_GE(checked, 3);
}

TEST(PinnedFeatures, TheWalkCountsWhatTheWholePictureScanCounts) {
    CVideoManager video;
    ASSERT_EQ(video.open(fixture("fade.mp4")), 1);
    CFramePrefetcher frames(fixture("fade.mp4"), 0.0, video.duration());
    CFramePrefetcher::Frame fetched;
    std::shared_ptr<const CDib> previous;
    int pairs = 0;
    while (frames.next(fetched)) {
        ASSERT_NE(fetched.picture, nullptr) << fetched.frame;
        DifferenceHistogram differences;
        GreyHistogram grey;
        if (previous) {
            ASSERT_TRUE(fetched.paired) << fetched.frame;
            computePairHistograms(greyPlaneOf(*previous), greyPlaneOf(*fetched.picture),
                                  differences, grey);
            EXPECT_EQ(fetched.differences, differences) << fetched.frame;
            ++pairs;
        } else {
            EXPECT_FALSE(fetched.paired);
            computeGreyHistogram(greyPlaneOf(*fetched.picture), grey);
        }
        EXPECT_EQ(fetched.greyHistogram, grey) << fetched.frame;
        previous = std::move(fetched.picture);
    }
    EXPECT_EQ(pairs, static_cast<int>(video.duration()) - 1);
}

TEST(PinnedFeatures, RowPairsFollowThePictureSize) {
    std::mt19937 random(3);
    std::vector<uint8_t> first(6 * 4);
    std::vector<uint8_t> second(6 * 4);
    for (size_t i = 0; i < first.size(); ++i) {
        first[i] = static_cast<uint8_t>(random());
        second[i] = static_cast<uint8_t>(random());
    }
    CGreyRowPairs pairs;
    DifferenceHistogram differences{};
    GreyHistogram grey{};
    GreyPlane previous;  // the picture fed last
    const auto feed = [&](const std::vector<uint8_t> &rows, int width, int height) {
        pairs.begin(width, height, previous);
        for (int y = 0; y < height; ++y) {
            pairs.addRow(y, rows.data() + y * width);
        }
        previous = {rows.data(), width, width, height};
        return pairs.finish(differences, grey);
    };
    EXPECT_FALSE(feed(first, 6, 4));
    GreyHistogram expectedGrey{};
    for (uint8_t v : first) {
        ++expectedGrey[v];
    }
    EXPECT_EQ(grey, expectedGrey);

    ASSERT_TRUE(feed(second, 6, 4));
    DifferenceHistogram expectedDifferences{};
    expectedGrey = {};
    for (size_t i = 0; i < second.size(); ++i) {
        ++expectedDifferences[static_cast<size_t>(first[i] - second[i] + 255)];
        ++expectedGrey[second[i]];
    }
    EXPECT_EQ(differences, expectedDifferences);
    EXPECT_EQ(grey, expectedGrey);

    // Another size starts afresh; the size after it pairs with it, not with the older picture.
    EXPECT_FALSE(feed(first, 4, 6));
    EXPECT_TRUE(feed(second, 4, 6));
    EXPECT_FALSE(feed(first, 6, 4));
}
