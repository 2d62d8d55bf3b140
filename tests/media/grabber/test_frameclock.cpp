#include <gtest/gtest.h>

#include "media/grabber/frameclock.h"

using kivo::grabber::CFrameClock;

namespace {

struct RateCase {
    double framesPerSecond;
    int64_t avgTimePerFrame;
};

class FrameClockRates : public testing::TestWithParam<RateCase> {};

TEST_P(FrameClockRates, AvgTimePerFrameIsTheRoundedFrameDuration) {
    EXPECT_EQ(CFrameClock(GetParam().framesPerSecond).avgTimePerFrame(),
              GetParam().avgTimePerFrame);
}

TEST_P(FrameClockRates, FrameToTimeToFrameGivesTheFrameBack) {
    const CFrameClock clock(GetParam().framesPerSecond);
    for (double frame = 0; frame < 300000; frame += 7) {
        const double time = clock.frameToTime(frame);
        ASSERT_EQ(time, frame * static_cast<double>(GetParam().avgTimePerFrame));
        ASSERT_EQ(clock.timeToFrame(time), frame);
        // Any time inside the frame belongs to it; the next unit belongs to the next frame.
        ASSERT_EQ(clock.timeToFrame(time + static_cast<double>(GetParam().avgTimePerFrame) - 1),
                  frame);
    }
}

INSTANTIATE_TEST_SUITE_P(CommonRates, FrameClockRates,
                         testing::Values(RateCase{25.0, 400000}, RateCase{30000.0 / 1001, 333667},
                                         RateCase{30.0, 333333}, RateCase{24000.0 / 1001, 417083}));

TEST(FrameClock, SourceValuesAreTruncatedFirst) {
    const CFrameClock clock(25.0);
    EXPECT_EQ(clock.frameToTime(2.9), 800000.0);
    EXPECT_EQ(clock.timeToFrame(399999.9), 0.0);
    EXPECT_EQ(clock.timeToFrame(400000.0), 1.0);
    EXPECT_EQ(clock.frameToTime(-1.5), -400000.0);
}

TEST(FrameClock, FailuresAreMinusOne) {
    const CFrameClock noRate;
    EXPECT_EQ(noRate.frameToTime(10), -1);
    EXPECT_EQ(noRate.timeToFrame(10), -1);
    EXPECT_FALSE(CFrameClock(0).isValid());
    EXPECT_FALSE(CFrameClock(-25).isValid());
    EXPECT_FALSE(CFrameClock(std::numeric_limits<double>::quiet_NaN()).isValid());

    const CFrameClock clock(25.0);
    EXPECT_EQ(clock.frameToTime(std::numeric_limits<double>::quiet_NaN()), -1);
    EXPECT_EQ(clock.frameToTime(std::numeric_limits<double>::infinity()), -1);
    EXPECT_EQ(clock.frameToTime(1e19), -1);
    EXPECT_EQ(clock.timeToFrame(-1e19), -1);
}

}  // namespace
