#include "scene/mediatime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using kivo::scene::formatCaptionTime;
using kivo::scene::formatMediaTime;
using kivo::scene::formatRepeatSectionTime;
using kivo::scene::parseCaptionTime;
using kivo::scene::parseRepeatSectionTime;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kLimit = 9223372036854775808.0;  // 2^63 units
const double kLargestShown = std::nextafter(kLimit, 0.0);

struct FormatCase {
    double time;
    const char *clock;
    const char *caption;
    const char *repeatSection;
};

TEST(MediaTime, EveryFormTruncatesAndShowsNoTimeAsZero) {
    const FormatCase cases[] = {
        {0, "00:00:00", "00:00:00.000", "00:00:00.0000000"},
        {1, "00:00:00", "00:00:00.000", "00:00:00.0000001"},
        {12.9, "00:00:00", "00:00:00.000", "00:00:00.0000012"},
        {9999, "00:00:00", "00:00:00.000", "00:00:00.0009999"},
        {70000, "00:00:00", "00:00:00.007", "00:00:00.0070000"},
        {3000000, "00:00:00", "00:00:00.300", "00:00:00.3000000"},
        {9999999, "00:00:00", "00:00:00.999", "00:00:00.9999999"},
        {1e7, "00:00:01", "00:00:01.000", "00:00:01.0000000"},
        {599990000, "00:00:59", "00:00:59.999", "00:00:59.9990000"},
        {60e7, "00:01:00", "00:01:00.000", "00:01:00.0000000"},
        {612500000, "00:01:01", "00:01:01.250", "00:01:01.2500000"},
        {35999999999, "00:59:59", "00:59:59.999", "00:59:59.9999999"},
        {3600e7, "01:00:00", "01:00:00.000", "01:00:00.0000000"},
        {37259000000, "01:02:05", "01:02:05.900", "01:02:05.9000000"},
        {3599995000000, "99:59:59", "99:59:59.500", "99:59:59.5000000"},
        {100 * 3600e7, "100:00:00", "100:00:00.000", "100:00:00.0000000"},
        {kLargestShown, "256204778:48:05", "256204778:48:05.477", "256204778:48:05.4774784"},
        // -1 is "none"; every other time without a text shows as zero as well.
        {-1, "00:00:00", "00:00:00.000", "00:00:00.0000000"},
        {-5, "00:00:00", "00:00:00.000", "00:00:00.0000000"},
        {-1.5e7, "00:00:00", "00:00:00.000", "00:00:00.0000000"},
        {kNaN, "00:00:00", "00:00:00.000", "00:00:00.0000000"},
        {kInfinity, "00:00:00", "00:00:00.000", "00:00:00.0000000"},
        {-kInfinity, "00:00:00", "00:00:00.000", "00:00:00.0000000"},
        {kLimit, "00:00:00", "00:00:00.000", "00:00:00.0000000"},
        {1e300, "00:00:00", "00:00:00.000", "00:00:00.0000000"},
    };
    for (const FormatCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "time " << c.time);
        EXPECT_EQ(formatMediaTime(c.time), c.clock);
        EXPECT_EQ(formatCaptionTime(c.time), c.caption);
        EXPECT_EQ(formatRepeatSectionTime(c.time), c.repeatSection);
    }
}

TEST(MediaTime, WholeSecondsClockClampsNegativeCounts) {
    EXPECT_EQ(kivo::scene::formatClockSeconds(3725), "01:02:05");
    EXPECT_EQ(kivo::scene::formatClockSeconds(360000), "100:00:00");
    EXPECT_EQ(kivo::scene::formatClockSeconds(-4), "00:00:00");
}

struct ParseCase {
    const char *text;
    std::optional<double> caption;
    std::optional<double> repeatSection;
};

TEST(MediaTime, ParsersTakeExactlyWhatTheFormattersWrite) {
    const std::optional<double> none;
    const ParseCase cases[] = {
        {"00:00:00.000", 0.0, none},
        {"01:02:03.456", 37234560000.0, none},
        {"00:00:59.999", 599990000.0, none},
        {"100:00:00.000", 3600e9, none},
        {"00:00:00.0000000", none, 0.0},
        {"00:00:00.0000001", none, 1.0},
        {"99:59:59.9999999", none, 3599999999999.0},
        {"256204778:48:05.4774784", none, kLargestShown},
        // Garbage, signs, spaces, wrong field widths and values past the formatters' range.
        {"", none, none},
        {"오류 또는 미지정", none, none},
        {"garbage", none, none},
        {"0:00:00.000", none, none},
        {"00:0:00.000", none, none},
        {"00:000:00.000", none, none},
        {"00:60:00.000", none, none},
        {"00:00:60.000", none, none},
        {"-1:00:00.000", none, none},
        {"00:-1:00.000", none, none},
        {"+00:00:00.000", none, none},
        {" 00:00:00.000", none, none},
        {"00:00:00.000 ", none, none},
        {"00:00:00,000", none, none},
        {"00:00:00.00", none, none},
        {"00:00:00.0000", none, none},
        {"00:00:00", none, none},
        {"00:00:00.", none, none},
        {"00:00:00.000x", none, none},
        {"9999999999999:00:00.000", none, none},
        {"999999999999:59:59.999", none, none},
        {"256204778:48:05.4775807", none, none},
        {"256204779:00:00.0000000", none, none},
    };
    for (const ParseCase &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseCaptionTime(c.text), c.caption);
        EXPECT_EQ(parseRepeatSectionTime(c.text), c.repeatSection);
    }
}

// The caption form is read back from edits that it filled: every whole-millisecond time must
// survive the trip both ways.
TEST(MediaTime, CaptionTimesRoundTripEveryMillisecond) {
    long failures = 0;
    for (int64_t millis = 0; millis < 100LL * 3600 * 1000; millis += millis < 600000 ? 1 : 997) {
        const double time = static_cast<double>(millis) * 1e4;
        const std::string text = formatCaptionTime(time);
        const std::optional<double> back = parseCaptionTime(text);
        if (!back || *back != time || formatCaptionTime(*back) != text) {
            if (++failures <= 5) {
                ADD_FAILURE() << millis << " ms: " << text;
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(MediaTime, RepeatSectionTimesRoundTripEveryUnit) {
    long failures = 0;
    for (int64_t units = 0; units < 100LL * 3600 * 10'000'000;
         units += units < 1'000'000 ? 1 : 9'999'991) {
        const auto time = static_cast<double>(units);
        const std::optional<double> back = parseRepeatSectionTime(formatRepeatSectionTime(time));
        if (!back || *back != time) {
            if (++failures <= 5) {
                ADD_FAILURE() << units << " units";
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
