#include <gtest/gtest.h>

#include <cmath>

#include "player/captions/captionlist.h"
#include "samitestsupport.h"

using kivo::captions::findCaptionAt;
using kivo::captions::sortCaptions;

TEST(CaptionList, SortKeepsEqualTimesInTheirOrder) {
    std::vector<CCaptionEntry> captions = {caption(2e7, "b1"), caption(1e7, "a"),
                                           caption(2e7, "b2"), caption(0, "z"), caption(2e7, "b3")};
    sortCaptions(captions);
    std::vector<std::string> texts;
    for (const CCaptionEntry &c : captions) {
        texts.push_back(c.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"z", "a", "b1", "b2", "b3"}));
}

TEST(CaptionList, LookupShowsACaptionFromAnEighthOfASecondBeforeItsTime) {
    const std::vector<CCaptionEntry> captions = {caption(1e7, "a"), caption(2e7, "b1"),
                                                 caption(2e7, "b2"), caption(2.1e7, "c")};
    struct Case {
        double position;
        int index;
    } cases[] = {
        {0, -1},
        {1e7 - 1'250'001, -1},
        {1e7 - 1'250'000, 0},
        {1e7, 0},
        {1e7 + 1, -1},
        {2e7 - 1'250'000, 1},  // equal times: the first of them
        {2e7 + 1, 3},          // past b, within c's eighth of a second
        {2.1e7, 3},
        {2.1e7 + 1, -1},
        {-1, -1},
        {NAN, -1},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(findCaptionAt(captions, c.position), c.index) << c.position;
    }
    EXPECT_EQ(findCaptionAt({}, 0), -1);
}

TEST(CaptionList, AMoveThatStepsOverACaptionsWindowStillShowsIt) {
    const std::vector<CCaptionEntry> captions = {caption(1e7, "a"), caption(2e7, "b"),
                                                 caption(2e7, "b2"), caption(3e7, "c")};
    using kivo::captions::findCaptionReached;
    // Inside a window: as findCaptionAt.
    EXPECT_EQ(findCaptionReached(captions, 0.8e7, 0.9e7), 0);
    // Updates at 0.87 s and 1.002 s: the window 0.875..1 s fell between them.
    EXPECT_EQ(findCaptionReached(captions, 0.87e7, 1.002e7), 0);
    // Over both captions at 2 s: the first of them.
    EXPECT_EQ(findCaptionReached(captions, 1.5e7, 2.3e7), 1);
    // Nothing passed since the last update, or the move went back.
    EXPECT_EQ(findCaptionReached(captions, 1.002e7, 1.2e7), -1);
    EXPECT_EQ(findCaptionReached(captions, 2.5e7, 1.5e7), -1);
    EXPECT_EQ(findCaptionReached(captions, 0, 0.5e7), -1);
    EXPECT_EQ(findCaptionReached({}, 0, 1e7), -1);
}
