#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <set>

#include "player/lists/cdplayorder.h"

using kivo::lists::CCdPlayOrder;

namespace {

CCdPlayOrder seeded(uint32_t seed) {
    auto generator = std::make_shared<std::mt19937>(seed);
    return CCdPlayOrder([generator] { return uint32_t((*generator)()); });
}

// Plays forward from the first answer until the rule gives -1 (or a bound): the indices played.
std::vector<int> playThrough(CCdPlayOrder &order, size_t bound) {
    std::vector<int> played;
    for (int index = order.forwardIndex(); index >= 0 && played.size() < bound;
         index = order.forwardIndex()) {
        order.play(index, true);
        played.push_back(index);
    }
    return played;
}

}  // namespace

TEST(CdPlayOrder, InOrderWithoutRepeatEndsAfterTheLastEntry) {
    CCdPlayOrder order;
    order.select({3, 1, 7});
    EXPECT_EQ(playThrough(order, 10), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(order.currentTrack(), 7);
    EXPECT_EQ(order.forwardIndex(), -1);
}

TEST(CdPlayOrder, InOrderWithRepeatWrapsToTheFirstAndClearsTheHistory) {
    CCdPlayOrder order;
    order.setRepeat(true);
    order.select({3, 1});
    order.play(0, true);
    order.play(1, true);
    EXPECT_EQ(order.forwardIndex(), 0);
    EXPECT_TRUE(order.history().empty());
}

TEST(CdPlayOrder, BackInOrderStopsAtTheFirstOrWrapsToTheLastWithRepeat) {
    CCdPlayOrder order;
    order.select({2, 4, 6});
    order.play(1, true);
    EXPECT_EQ(order.backIndex(), 0);
    order.play(0, true);
    EXPECT_EQ(order.backIndex(), -1);
    order.setRepeat(true);
    EXPECT_EQ(order.backIndex(), 2);
    EXPECT_TRUE(order.history().empty());
}

TEST(CdPlayOrder, RandomWithoutRepeatPlaysEverySelectedTrackOnceThenEnds) {
    for (uint32_t seed = 0; seed < 500; ++seed) {
        CCdPlayOrder order = seeded(seed);
        order.setRandom(true);
        const int count = 1 + int(seed % 12);
        std::vector<int> tracks(static_cast<size_t>(count));
        std::iota(tracks.begin(), tracks.end(), 1);
        order.select(tracks);
        std::vector<int> played = playThrough(order, 100);
        ASSERT_EQ(played.size(), size_t(count)) << "seed " << seed;
        std::sort(played.begin(), played.end());
        EXPECT_TRUE(std::adjacent_find(played.begin(), played.end()) == played.end())
            << "seed " << seed;
        EXPECT_EQ(order.forwardIndex(), -1);
    }
}

TEST(CdPlayOrder, RandomWithRepeatStartsANewRoundOfDistinctTracks) {
    for (uint32_t seed = 0; seed < 200; ++seed) {
        CCdPlayOrder order = seeded(seed);
        order.setRandom(true);
        order.setRepeat(true);
        order.select({1, 2, 3, 4, 5});
        const std::vector<int> played = playThrough(order, 15);
        ASSERT_EQ(played.size(), 15u);
        for (size_t round = 0; round < 3; ++round) {
            const std::set<int> distinct(played.begin() + long(round * 5),
                                         played.begin() + long(round * 5 + 5));
            EXPECT_EQ(distinct.size(), 5u) << "seed " << seed << " round " << round;
        }
    }
}

TEST(CdPlayOrder, RandomDrawsThatKeepFailingClearTheHistoryInsteadOfGivingUp) {
    // A generator stuck on one index: after 100 failed draws the history is cleared and the
    // stuck index is free again.
    CCdPlayOrder order([] { return 0u; });
    order.setRandom(true);
    order.select({1, 2, 3});
    order.play(0, true);
    EXPECT_EQ(order.forwardIndex(), 0);
    EXPECT_TRUE(order.history().empty());
}

TEST(CdPlayOrder, RandomBackReturnsTheEntryBeforeAndDropsTheNewestTwo) {
    for (uint32_t seed = 0; seed < 200; ++seed) {
        CCdPlayOrder order = seeded(seed);
        order.setRandom(true);
        order.select({1, 2, 3, 4, 5, 6});
        const std::vector<int> played = playThrough(order, 4);
        ASSERT_EQ(played.size(), 4u);
        const int back = order.backIndex();
        EXPECT_EQ(back, played[2]) << "seed " << seed;
        EXPECT_EQ(order.history(), (std::vector<int>{played[0], played[1]}));
        order.play(back, true);
        EXPECT_EQ(order.history().back(), played[2]);
    }
}

TEST(CdPlayOrder, RandomBackAtTheFirstEntryEndsOrDrawsAgainWithRepeat) {
    CCdPlayOrder order = seeded(7);
    order.setRandom(true);
    order.select({1, 2, 3});
    order.play(order.forwardIndex(), true);
    EXPECT_EQ(order.backIndex(), -1);
    EXPECT_TRUE(order.history().empty());
    order.setRepeat(true);
    const int drawn = order.backIndex();
    EXPECT_GE(drawn, 0);
    EXPECT_LT(drawn, 3);
}

TEST(CdPlayOrder, AnEmptySelectionAnswersNothingEitherWay) {
    CCdPlayOrder order;
    order.setRepeat(true);
    order.setRandom(true);
    EXPECT_EQ(order.forwardIndex(), -1);
    EXPECT_EQ(order.backIndex(), -1);
    EXPECT_EQ(order.currentTrack(), 0);
}
