// The caption editor's time text, its reading back, and the slider's nudge within the media.
#include <gtest/gtest.h>

#include "player/captions/captionedit.h"

using kivo::captions::captionTimeText;
using kivo::captions::nudgedTime;
using kivo::captions::parseCaptionTimeText;

TEST(CaptionEdit, TimeTextTruncatesToMillisecondsAndReadsBack) {
    EXPECT_EQ(captionTimeText(0), "00:00:00.000");
    EXPECT_EQ(captionTimeText(15'000'000), "00:00:01.500");
    // 1 h 2 min 3.4569 s: the fraction is cut, not rounded.
    EXPECT_EQ(captionTimeText(37'234'569'000.0), "01:02:03.456");
    EXPECT_EQ(captionTimeText(-5e7), "00:00:00.000");
    EXPECT_EQ(captionTimeText(100 * 3600e7), "100:00:00.000");
    // 6.3 s is no exact binary fraction of a second: still 6.300, not 6.299.
    EXPECT_EQ(captionTimeText(63'000'000), "00:00:06.300");
    for (const char *text : {"00:00:01.500", "01:02:03.456", "23:59:59.999"}) {
        EXPECT_EQ(captionTimeText(parseCaptionTimeText(text)), text);
    }
    EXPECT_DOUBLE_EQ(parseCaptionTimeText("01:02:03.456"), 37'234'560'000.0);
}

TEST(CaptionEdit, TimeTextOfAnotherFormReadsWhatItsPlacesHold) {
    // Hours, minutes and seconds by their places, milliseconds from the last three characters.
    EXPECT_DOUBLE_EQ(parseCaptionTimeText("00:01:xx.250"), (60'000 + 250) * 1e4);
    EXPECT_DOUBLE_EQ(parseCaptionTimeText(""), 0.0);
    // A lone number is read both as the hours and as the milliseconds.
    EXPECT_DOUBLE_EQ(parseCaptionTimeText("7"), (7 * 3'600'000 + 7) * 1e4);
    EXPECT_DOUBLE_EQ(parseCaptionTimeText("ab:cd:ef.ghi"), 0.0);
}

TEST(CaptionEdit, SliderStepsATenthOfASecondWithinTheMedia) {
    const double duration = 60e7;
    // From the base 0 to -200: 20 seconds back.
    EXPECT_EQ(nudgedTime(30e7, 0, -200, duration), 10e7);
    // The time already moved to base -10; the slider goes on to +5: 1.5 s forward.
    EXPECT_EQ(nudgedTime(29e7, -10, 5, duration), 30.5e7);
    // Before the start or beyond the end: refused, however close.
    EXPECT_EQ(nudgedTime(1e7, 0, -11, duration), std::nullopt);
    EXPECT_EQ(nudgedTime(1e7, 0, -10, duration), 0.0);
    EXPECT_EQ(nudgedTime(59e7, 0, 11, duration), std::nullopt);
    EXPECT_EQ(nudgedTime(59e7, 0, 10, duration), duration);
}
