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
