#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>

#include "indexpattern.h"
#include "media/grabber/videomanager.h"

namespace {

struct IndexFixture {
    const char *name;
    double framesPerSecond;
};

std::ostream &operator<<(std::ostream &out, const IndexFixture &fixture) {
    return out << fixture.name;
}

constexpr int kIndexFrames = 300;

class IndexedVideo : public testing::TestWithParam<IndexFixture> {
protected:
    void SetUp() override {
        ASSERT_EQ(m_video.open(fixturePath(GetParam().name)), 1) << GetParam().name;
    }

    CVideoManager m_video;
};

TEST_P(IndexedVideo, OpensWithTheStreamsNumbers) {
    EXPECT_EQ(m_video.path(), fixturePath(GetParam().name));
    EXPECT_EQ(m_video.duration(), kIndexFrames);
    EXPECT_EQ(m_video.earliest(), 0);
    EXPECT_EQ(m_video.latest(), kIndexFrames);
    EXPECT_NEAR(m_video.frameRate(), GetParam().framesPerSecond, 1e-9);
    EXPECT_EQ(m_video.pictureWidth(), 320);
    EXPECT_EQ(m_video.pictureHeight(), 240);
}

TEST_P(IndexedVideo, RandomFramesAreExactlyTheFramesAskedFor) {
    std::mt19937 random(20240417);
    std::uniform_int_distribution<int> anyFrame(0, kIndexFrames - 1);
    for (int i = 0; i < 200; ++i) {
        const int frame = anyFrame(random);
        const std::unique_ptr<CDib> picture = m_video.pictureAt(frame);
        ASSERT_NE(picture, nullptr) << "frame " << frame;
        ASSERT_EQ(picture->bitCount(), 24);
        ASSERT_EQ(picture->width(), 320);
        ASSERT_EQ(picture->height(), 240);
        ASSERT_EQ(frameIndexOf(*picture), frame) << "request " << i;
    }
}

TEST_P(IndexedVideo, WalkingEveryFrameGivesEachInOrderWithoutSeeking) {
    for (int frame = 0; frame < kIndexFrames; ++frame) {
        const std::unique_ptr<CDib> grey = m_video.greyPictureAt(frame);
        ASSERT_NE(grey, nullptr) << "frame " << frame;
        ASSERT_EQ(grey->bitCount(), 8);
        ASSERT_EQ(frameIndexOf(*grey), frame);
    }
    EXPECT_EQ(m_video.seekCount(), 0);
}

TEST_P(IndexedVideo, ShortStepsBackDuringAWalkNeedNoSeek) {
    // The segmentation walk looks back at a cut a few frames behind, then goes on.
    for (int frame = 0; frame < 110; ++frame) {
        ASSERT_NE(m_video.greyPictureAt(frame), nullptr);
    }
    // Meanwhile the walk's read-ahead decodes on: let it get as far ahead as it may.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (const int frame : {104, 109, 110, 111, 105, 112, 113, 103, 114, 115, 116, 117}) {
        const std::unique_ptr<CDib> picture = m_video.pictureAt(frame);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(frameIndexOf(*picture), frame);
    }
    EXPECT_EQ(m_video.seekCount(), 0);
}

TEST_P(IndexedVideo, AWalkThatChangesKindOrStopsStillGivesTheFramesAskedFor) {
    // Walking makes the next picture ahead; asking for another kind or frame instead, or
    // reopening while it is being made, must not hand out the wrong one.
    for (int frame = 0; frame < 40; ++frame) {
        const bool colour = frame % 7 == 3;
        const std::unique_ptr<CDib> picture =
            colour ? m_video.pictureAt(frame) : m_video.greyPictureAt(frame);
        ASSERT_NE(picture, nullptr) << "frame " << frame;
        EXPECT_EQ(picture->bitCount(), colour ? 24 : 8);
        EXPECT_EQ(frameIndexOf(*picture), frame);
        if (frame % 10 == 9) {
            const std::unique_ptr<CDib> same = m_video.pictureAt(frame);
            ASSERT_NE(same, nullptr);
            EXPECT_EQ(frameIndexOf(*same), frame);
        }
    }
    ASSERT_EQ(m_video.open(fixturePath(GetParam().name)), 1);
    const std::unique_ptr<CDib> first = m_video.greyPictureAt(41);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(frameIndexOf(*first), 41);
}

TEST_P(IndexedVideo, JumpsForwardAndBackGiveTheRightFrames) {
    // Far jumps forward decode on or seek, whichever is cheaper; both must land exactly.
    for (const int frame : {20, 31, 80, 79, 200, 170, 171, 299, 0, 298, 150, 149, 151, 260}) {
        const std::unique_ptr<CDib> picture = m_video.greyPictureAt(frame);
        ASSERT_NE(picture, nullptr) << "frame " << frame;
        EXPECT_EQ(frameIndexOf(*picture), frame);
    }
}

TEST_P(IndexedVideo, GreyPictureIsTheColourPicturesGreyCopyByteForByte) {
    for (const int frame : {0, 1, 57, 150, 151, 299, 3}) {
        const std::unique_ptr<CDib> grey = m_video.greyPictureAt(frame);
        const std::unique_ptr<CDib> colour = m_video.pictureAt(frame);
        ASSERT_NE(grey, nullptr);
        ASSERT_NE(colour, nullptr);
        const std::unique_ptr<CDib> expected = colour->greyCopy();
        ASSERT_EQ(grey->blockSize(), expected->blockSize());
        EXPECT_EQ(std::memcmp(grey->block(), expected->block(), grey->blockSize()), 0)
            << "frame " << frame;
    }
}

TEST_P(IndexedVideo, FramesOutsideTheRangeGiveNothingWithoutSeeking) {
    ASSERT_NE(m_video.pictureAt(150), nullptr);
    const int64_t seeks = m_video.seekCount();
    EXPECT_EQ(m_video.pictureAt(-1), nullptr);
    EXPECT_EQ(m_video.pictureAt(-0.5), nullptr);
    EXPECT_EQ(m_video.pictureAt(kIndexFrames + 1), nullptr);
    EXPECT_EQ(m_video.greyPictureAt(kIndexFrames + 0.5), nullptr);
    EXPECT_EQ(m_video.pictureAt(std::numeric_limits<double>::quiet_NaN()), nullptr);
    EXPECT_EQ(m_video.seekCount(), seeks);
}

TEST_P(IndexedVideo, FrameEqualToTheDurationShowsTheLastPicture) {
    const std::unique_ptr<CDib> last = m_video.pictureAt(m_video.duration());
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(frameIndexOf(*last), kIndexFrames - 1);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCodecAndContainer, IndexedVideo,
    testing::Values(IndexFixture{"index.mp4", 25}, IndexFixture{"index.mkv", 25},
                    IndexFixture{"index.mpg", 25}, IndexFixture{"index-mpeg4.avi", 25},
                    IndexFixture{"index.wmv", 25}, IndexFixture{"index-mjpeg.avi", 25},
                    IndexFixture{"index.mov", 25}, IndexFixture{"index-ntsc.mp4", 30000.0 / 1001}),
    [](const testing::TestParamInfo<IndexFixture> &param) {
        std::string name = param.param.name;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

TEST(VideoManagerOpen, FileWithoutVideoFailsAndLeavesEverythingEmpty) {
    CVideoManager video;
    EXPECT_EQ(video.open(fixturePath("audio.m4a")), 0);
    EXPECT_FALSE(video.isOpen());
    EXPECT_EQ(video.path(), "");
    EXPECT_EQ(video.duration(), 0);
    EXPECT_EQ(video.pictureAt(0), nullptr);
    EXPECT_EQ(video.frameToTime(1), -1);
    EXPECT_EQ(video.timeToFrame(1), -1);
}

TEST(VideoManagerOpen, FailedOpenClosesThePreviousFile) {
    CVideoManager video;
    ASSERT_EQ(video.open(fixturePath("index.mp4")), 1);
    EXPECT_EQ(video.open(fixturePath("missing.mp4")), 0);
    EXPECT_FALSE(video.isOpen());
    EXPECT_EQ(video.duration(), 0);
    EXPECT_EQ(video.pictureAt(0), nullptr);
}

TEST(VideoManagerOpen, ConversionsFollowTheAverageFrameRate) {
    CVideoManager video;
    ASSERT_EQ(video.open(fixturePath("index-ntsc.mp4")), 1);
    EXPECT_EQ(video.avgTimePerFrame(), 333667);
    EXPECT_EQ(video.frameToTime(3), 3.0 * 333667);
    EXPECT_EQ(video.timeToFrame(3.0 * 333667 - 1), 2);
}

}  // namespace
