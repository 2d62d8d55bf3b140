// The plan of a basic tree: what its dialog's fields ask for, and the scene times it gives.
#include <gtest/gtest.h>

#include "player/scenes/basictreeplan.h"

using namespace kivo::scenes;

namespace {

BasicTreeEntry read(bool automatic, const std::string &interval, int countChoice,
                    const std::string &count, BasicTreeRequest &request) {
    return readBasicTreeRequest(automatic, interval, countChoice, count, request);
}

}  // namespace

TEST(BasicTreePlan, FieldsAreReadAsTheDialogShowsThem) {
    BasicTreeRequest request;
    EXPECT_EQ(read(true, "자동", kDefaultCountItem, "", request), BasicTreeEntry::kValid);
    EXPECT_EQ(request.interval, kAutomatic);
    EXPECT_EQ(request.count, 30);
    EXPECT_EQ(read(false, "600", kToTheEndItem, "", request), BasicTreeEntry::kValid);
    EXPECT_EQ(request.interval, 600);
    EXPECT_EQ(request.count, kAutomatic);
    EXPECT_EQ(read(false, "12초", kTypedCount, "abc", request), BasicTreeEntry::kValid);
    EXPECT_EQ(request.interval, 12);
    EXPECT_EQ(request.count, 0);

    // Refused entries leave the request as it was.
    const BasicTreeRequest before = request;
    EXPECT_EQ(read(false, "12345", kDefaultCountItem, "", request),
              BasicTreeEntry::kIntervalTooLong);
    EXPECT_EQ(read(true, "", kToTheEndItem, "", request), BasicTreeEntry::kCountNeededWithAuto);
    EXPECT_EQ(read(false, "10", kTypedCount, "99999", request), BasicTreeEntry::kCountTooLarge);
    EXPECT_EQ(read(false, "가나다라마", kDefaultCountItem, "", request),
              BasicTreeEntry::kIntervalTooLong);
    EXPECT_EQ(request.interval, before.interval);
    EXPECT_EQ(request.count, before.count);
}

TEST(BasicTreePlan, ScenesFollowTheIntervalUpToTheEnd) {
    // The defaults: 30 scenes, E / 30 apart from S.
    const std::vector<double> defaults = basicTreeTimes(2.0, 300.0, {kAutomatic, 30});
    ASSERT_EQ(defaults.size(), 30u);
    EXPECT_DOUBLE_EQ(defaults[0], 2.0);
    EXPECT_DOUBLE_EQ(defaults[29], 2.0 + 29 * 10.0);
    // 600 s up to the end of 3000 s: five scenes.
    EXPECT_EQ(basicTreeTimes(0.0, 3000.0, {600, kAutomatic}),
              (std::vector<double>{0, 600, 1200, 1800, 2400}));
    // 100 asked at 10 s on 300 s: the end comes first.
    EXPECT_EQ(basicTreeTimes(0.0, 300.0, {10, 100}).size(), 30u);
    // No count, or no step to the end, or no video: no scenes (and no endless loop).
    EXPECT_TRUE(basicTreeTimes(0.0, 300.0, {10, 0}).empty());
    EXPECT_TRUE(basicTreeTimes(0.0, 300.0, {0, kAutomatic}).empty());
    EXPECT_TRUE(basicTreeTimes(0.0, 0.0, {kAutomatic, 30}).empty());
    // A step of 0 with a count gives that many scenes at the start (the tree keeps one).
    EXPECT_EQ(basicTreeTimes(1.0, 300.0, {0, 3}), (std::vector<double>{1, 1, 1}));
}
