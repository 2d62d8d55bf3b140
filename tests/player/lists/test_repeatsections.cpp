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

// Plays on from `from` seconds in half-second steps; the first cue.
std::optional<CRepeatCue> playUntilCue(CRepeatPlayer &player, double from) {
    for (double t = from; t < from + 100; t += 0.5) {
        if (auto cue = player.positionChanged(t * kSecond)) {
            return cue;
        }
    }
    return std::nullopt;
}

}  // namespace

TEST(RepeatSectionEdits, CheckRefusesBadEntriesAndSwapsReversedTimes) {
    const auto reversed = kivo::lists::checkSection("00:01:00.0000000", "00:00:30.0000000", "2");
    EXPECT_EQ(reversed.check, SectionCheck::Ok);
    EXPECT_EQ(reversed.start, 30 * kSecond);
    EXPECT_EQ(reversed.end, 60 * kSecond);
    EXPECT_EQ(kivo::lists::checkSection("00:00:10.0000000", "00:00:10.0000000", "1").check,
              SectionCheck::EqualTimes);
    EXPECT_EQ(kivo::lists::checkSection("00:00:10.0000000", "00:00:20.0000000", "-1").check,
              SectionCheck::NegativeCount);
    for (const char *bad :
         {"오류 또는 미지정", "-00:00:01.0000000", "99999999999999999999:00:00.0000000"}) {
        EXPECT_EQ(kivo::lists::checkSection(bad, "00:00:20.0000000", "1").check,
                  SectionCheck::InvalidTime)
            << bad;
    }
    // Counts read as a leading number: empty is 0 (accepted), beyond 32 bits saturates.
    const std::pair<const char *, int32_t> counts[] = {{"", 0},
                                                       {" 7x", 7},
                                                       {"-2", -2},
                                                       {"99999999999", 2147483647},
                                                       {"-99999999999", -2147483648}};
    for (const auto &[text, count] : counts) {
        EXPECT_EQ(kivo::lists::parseRepeatCount(text), count) << text;
    }
    EXPECT_EQ(kivo::lists::sectionTimeText(61.5 * kSecond + 3, 0), "00:01:01.5000003");
    EXPECT_EQ(kivo::lists::sectionTimeText(5, 5), std::nullopt);
}

TEST(RepeatPlayer, SectionsPlayTheirCountsInOrderAndStartOver) {
    const std::vector<CRepeatSection> sections = {section(10, 20, 2), section(50, 55, 1),
                                                  section(80, 90, 0)};
    CRepeatPlayer player;
    EXPECT_EQ(player.start(sections, {}), std::nullopt);
    EXPECT_EQ(player.start(sections, {0, 1}), (CRepeatCue{0, 10 * kSecond, true}));
    EXPECT_EQ(playUntilCue(player, 10), (CRepeatCue{0, 10 * kSecond, false}));  // twice
    EXPECT_EQ(playUntilCue(player, 10), (CRepeatCue{1, 50 * kSecond, false}));
    EXPECT_EQ(player.positionChanged(55 * kSecond), std::nullopt);  // its end still plays
    EXPECT_EQ(playUntilCue(player, 50), (CRepeatCue{0, 10 * kSecond, true}));  // over again

    // Count 0 plays once, like 1.
    player.start(sections, {2});
    EXPECT_EQ(playUntilCue(player, 80), (CRepeatCue{2, 80 * kSecond, true}));
}

TEST(RepeatPlayer, RemovedSectionsLeaveTheRunningList) {
    const std::vector<CRepeatSection> sections = {section(0, 5, 1), section(10, 15, 1),
                                                  section(20, 25, 1), section(30, 35, 1)};
    CRepeatPlayer player;
    player.start(sections, {1, 3});
    EXPECT_EQ(playUntilCue(player, 10), (CRepeatCue{3, 30 * kSecond, false}));
    player.sectionRemoved(0);  // the later indices move down
    EXPECT_EQ(player.sections(), (std::vector<size_t>{0, 2}));
    player.sectionRemoved(2);  // the one playing
    EXPECT_EQ(player.sections(), std::vector<size_t>{0});
    EXPECT_EQ(playUntilCue(player, 10), (CRepeatCue{0, 10 * kSecond, true}));
    player.sectionRemoved(0);
    EXPECT_FALSE(player.active());
}
