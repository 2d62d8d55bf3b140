#include <gtest/gtest.h>

#include "player/lists/repeatplayer.h"
#include "player/lists/repeatsections.h"

using kivo::lists::CRepeatCue;
using kivo::lists::CRepeatPlayer;
using kivo::lists::SectionCheck;

namespace {

constexpr double kSecond = 1e7;

CRepeatSection section(double startSeconds, double endSeconds, int32_t count) {
    CRepeatSection s;
    s.start = startSeconds * kSecond;
    s.end = endSeconds * kSecond;
    s.repeatCount = count;
    return s;
}

// Plays from `from` seconds in steps of half a second until a cue comes; the cue.
std::optional<CRepeatCue> playUntilCue(CRepeatPlayer &player, double from) {
    for (double t = from; t < from + 100; t += 0.5) {
        if (auto cue = player.positionChanged(t * kSecond)) {
            return cue;
        }
    }
    return std::nullopt;
}

}  // namespace

TEST(RepeatSectionEdits, TimesAndCountsShowAndReadAsTheEditorKeepsThem) {
    EXPECT_EQ(kivo::lists::sectionTimeText(61.5 * kSecond + 3, 0), "00:01:01.5000003");
    EXPECT_EQ(kivo::lists::sectionTimeText(-1, 5), std::nullopt);
    EXPECT_EQ(kivo::lists::sectionTimeText(5, 5), std::nullopt);
    EXPECT_EQ(kivo::lists::repeatCountText(-4), "0");
    EXPECT_EQ(kivo::lists::repeatCountText(12), "12");

    struct Case {
        const char *text;
        int32_t count;
    };
    const Case cases[] = {
        {"", 0},
        {"3", 3},
        {"  7x", 7},
        {"-2", -2},
        {"+5", 5},
        {"abc", 0},
        {"2147483647", 2147483647},
        {"99999999999999999999", 2147483647},
        {"-99999999999999999999", -2147483648},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(kivo::lists::parseRepeatCount(c.text), c.count) << c.text;
    }
}

TEST(RepeatSectionEdits, CheckRefusesBadEntriesAndSwapsReversedTimes) {
    const auto reversed = kivo::lists::checkSection("00:01:00.0000000", "00:00:30.0000000", "2");
    EXPECT_EQ(reversed.check, SectionCheck::Ok);
    EXPECT_EQ(reversed.start, 30 * kSecond);
    EXPECT_EQ(reversed.end, 60 * kSecond);
    EXPECT_EQ(reversed.count, 2);

    EXPECT_EQ(kivo::lists::checkSection("00:00:10.0000000", "00:00:10.0000000", "1").check,
              SectionCheck::EqualTimes);
    EXPECT_EQ(kivo::lists::checkSection("00:00:10.0000000", "00:00:20.0000000", "-1").check,
              SectionCheck::NegativeCount);
    const auto emptyCount = kivo::lists::checkSection("00:00:10.0000000", "00:00:20.0000000", "");
    EXPECT_EQ(emptyCount.check, SectionCheck::Ok);
    EXPECT_EQ(emptyCount.count, 0);
    for (const char *bad : {"", "오류 또는 미지정", "-00:00:01.0000000", "00:00:01",
                            "99999999999999999999:00:00.0000000"}) {
        EXPECT_EQ(kivo::lists::checkSection(bad, "00:00:20.0000000", "1").check,
                  SectionCheck::InvalidTime)
            << bad;
    }
}

TEST(RepeatPlayer, SectionsPlayTheirCountsInOrderAndStartOver) {
    const std::vector<CRepeatSection> sections = {section(10, 20, 2), section(50, 55, 1),
                                                  section(80, 90, 0)};
    CRepeatPlayer player;
    EXPECT_FALSE(player.positionChanged(100 * kSecond));
    EXPECT_EQ(player.start(sections, {}), std::nullopt);
    EXPECT_FALSE(player.active());

    // Sections 0 (count 2) and 1 (count 1), in that order.
    EXPECT_EQ(player.start(sections, {0, 1, 7}), (CRepeatCue{0, 10 * kSecond, true}));
    EXPECT_EQ(player.sections(), (std::vector<size_t>{0, 1}));
    EXPECT_EQ(playUntilCue(player, 10), (CRepeatCue{0, 10 * kSecond, false}));  // second time
    EXPECT_EQ(playUntilCue(player, 10), (CRepeatCue{1, 50 * kSecond, false}));
    EXPECT_EQ(player.positionChanged(55 * kSecond), std::nullopt);  // the end itself still plays
    EXPECT_EQ(playUntilCue(player, 50), (CRepeatCue{0, 10 * kSecond, true}));  // over again
    EXPECT_EQ(playUntilCue(player, 10), (CRepeatCue{0, 10 * kSecond, false}));

    // Count 0 plays once, like 1.
    EXPECT_TRUE(player.start(sections, {2}));
    EXPECT_EQ(playUntilCue(player, 80), (CRepeatCue{2, 80 * kSecond, true}));
}

TEST(RepeatPlayer, RemovedSectionsLeaveTheRunningList) {
    const std::vector<CRepeatSection> sections = {section(0, 5, 1), section(10, 15, 1),
                                                  section(20, 25, 1), section(30, 35, 1)};
    CRepeatPlayer player;
    player.start(sections, {1, 3});
    EXPECT_EQ(playUntilCue(player, 10), (CRepeatCue{3, 30 * kSecond, false}));
    // Section 0 goes: the later indices move down; then the playing one goes too.
    player.sectionRemoved(0);
    EXPECT_EQ(player.sections(), (std::vector<size_t>{0, 2}));
    EXPECT_EQ(player.current(), 1u);
    player.sectionRemoved(2);
    EXPECT_EQ(player.sections(), std::vector<size_t>{0});
    EXPECT_EQ(player.current(), 0u);
    EXPECT_EQ(playUntilCue(player, 10), (CRepeatCue{0, 10 * kSecond, true}));
    player.sectionRemoved(0);
    EXPECT_FALSE(player.active());
    EXPECT_EQ(player.positionChanged(1e12), std::nullopt);
}
