#include <gtest/gtest.h>

#include "scenecontrols/scenetreeedits.h"
#include "scenetreebuilder.h"

namespace {

using namespace kivo::scenes;

class SceneEditsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // root(0) -> 100 -> {110, 120, 130 -> {131}, 140}, 200 -> {210 -> {211}}, 300
        m_root.setExpanded(1);
        addScenes(m_root,
                  {{100, {{110}, {120}, {130, {{131}}}, {140}}}, {200, {{210, {{211}}}}}, {300}});
        m_selection.setRoot(&m_root);
        m_selection.setAddedHandler([this](CSceneNode *node) { m_reported.push_back(node); });
    }
    CSceneNode *at(std::initializer_list<int> path) { return nodeAt(m_root, path); }

    CVideoDescription m_description;
    CSceneNode &m_root = m_description.root();
    CSceneSelection m_selection;
    std::vector<CSceneNode *> m_reported;
};

TEST_F(SceneEditsTest, SelectingReportsEachNodeOnceAndClearingReachesTheWholeTree) {
    EXPECT_TRUE(m_selection.select(at({0, 1})));
    EXPECT_FALSE(m_selection.select(at({0, 1})));
    EXPECT_FALSE(m_selection.select(nullptr));
    at({1, 0, 0})->setSelected(1);  // set behind the selection's back, e.g. read from a file
    EXPECT_EQ(m_reported, std::vector<CSceneNode *>{at({0, 1})});
    m_selection.clear();
    EXPECT_TRUE(m_selection.isEmpty());
    EXPECT_EQ(at({0, 1})->selected(), 0);
    EXPECT_EQ(at({1, 0, 0})->selected(), 0);
}

TEST_F(SceneEditsTest, ScenesRemovedBehindTheSelectionsBackAreDropped) {
    m_selection.select(at({0, 1}));
    m_selection.select(at({1, 0, 0}));
    m_selection.select(at({2}));
    m_root.deleteChild(1);       // takes 211 with it
    at({0, 1})->setSelected(0);  // deselected by other code
    m_selection.dropMissing();
    EXPECT_EQ(m_selection.nodes(), std::vector<CSceneNode *>{at({1})});
    m_root.clearChildren();
    m_selection.dropMissing();
    EXPECT_TRUE(m_selection.isEmpty());
    EXPECT_FALSE(canMerge(m_selection));
}

TEST_F(SceneEditsTest, ShiftSelectsARunOfSiblingsOnlyUnderTheSameParent) {
    m_selection.select(at({0, 3}));
    EXPECT_TRUE(m_selection.extendWithShift(at({0, 1})));
    // The first node again, then the run in index order.
    EXPECT_EQ(m_selection.nodes(), (std::vector<CSceneNode *>{at({0, 3}), at({0, 1}), at({0, 2})}));
    EXPECT_EQ(m_reported.size(), 4u);
    EXPECT_FALSE(m_selection.extendWithShift(at({1, 0})));  // another parent
    EXPECT_EQ(m_selection.count(), 3);

    CSceneSelection rootFirst;
    rootFirst.setRoot(&m_root);
    rootFirst.select(&m_root);
    EXPECT_FALSE(rootFirst.extendWithShift(at({0})));
    CSceneSelection empty;
    EXPECT_FALSE(empty.extendWithShift(at({0})));
}

TEST_F(SceneEditsTest, CtrlAddsOnlyAtTheDepthOfTheLastSelected) {
    m_selection.select(at({0, 0}));
    EXPECT_FALSE(m_selection.extendWithCtrl(at({0, 2, 0})));  // one level deeper
    EXPECT_TRUE(m_selection.extendWithCtrl(at({1, 0})));      // same depth, other parent
    EXPECT_TRUE(m_selection.extendWithCtrl(at({1, 0})));      // already in: no change
    EXPECT_EQ(m_selection.count(), 2);
}

TEST_F(SceneEditsTest, MergeNeedsNeighboursUnderOneParent) {
    m_selection.select(at({0, 1}));
    EXPECT_FALSE(canMerge(m_selection));
    m_selection.select(at({0, 3}));
    EXPECT_FALSE(canMerge(m_selection));  // 130 lies between them unselected
    m_selection.select(at({1}));
    EXPECT_FALSE(canMerge(m_selection));  // another parent
    EXPECT_EQ(mergeSelected(m_selection), nullptr);

    m_selection.clear();
    m_selection.select(at({0, 2}));
    m_selection.select(at({0, 1}));
    m_selection.select(at({0, 3}));
    ASSERT_TRUE(canMerge(m_selection));
    m_reported.clear();
    CSceneNode *merged = mergeSelected(m_selection);
    ASSERT_EQ(merged, at({0, 1}));
    EXPECT_EQ(childFrames(*at({0})), (std::vector<double>{110, 120}));
    EXPECT_EQ(childFrames(*merged), (std::vector<double>{130, 131, 140}));
    EXPECT_EQ(m_selection.nodes(), std::vector<CSceneNode *>{merged});
    EXPECT_EQ(m_reported, std::vector<CSceneNode *>{merged});
    EXPECT_EQ(merged->expanded(), 1);
}

TEST_F(SceneEditsTest, SplitPromotesWhatItCanAndReportsWhatItCannot) {
    m_selection.select(at({0}));
    EXPECT_FALSE(canSplit(m_selection));  // second level
    m_selection.clear();
    m_selection.select(at({0, 2}));
    m_selection.select(at({1, 0}));
    EXPECT_FALSE(canSplit(m_selection));  // different parents
    EXPECT_EQ(splitSelected(m_selection), 0);

    m_selection.clear();
    m_selection.select(at({0, 2}));  // 130: takes 140 along, lands after 100
    ASSERT_TRUE(canSplit(m_selection));
    EXPECT_EQ(splitSelected(m_selection), 1);
    EXPECT_EQ(childFrames(m_root), (std::vector<double>{100, 130, 200, 300}));
    EXPECT_EQ(childFrames(*at({1})), (std::vector<double>{131, 140}));

    // A scene whose frame already stands at the level above stays where it is.
    at({3})->addChild(300);
    at({3})->addChild(310);
    m_selection.clear();
    m_selection.select(at({3, 0}));
    m_selection.select(at({3, 1}));
    EXPECT_EQ(splitSelected(m_selection), 0);
    EXPECT_EQ(childFrames(m_root), (std::vector<double>{100, 130, 200, 300, 310}));
    EXPECT_EQ(childFrames(*at({3})), (std::vector<double>{300}));
}

TEST_F(SceneEditsTest, DeleteSelectsThePreviousSiblingOrTheParent) {
    EXPECT_TRUE(canDelete(m_selection, true));
    EXPECT_FALSE(canDelete(m_selection, false));
    EXPECT_FALSE(deleteSelected(m_selection));

    m_selection.select(&m_root);
    EXPECT_FALSE(canDelete(m_selection, true));
    EXPECT_FALSE(deleteSelected(m_selection));

    m_selection.clear();
    m_selection.select(at({0, 2}));
    ASSERT_TRUE(deleteSelected(m_selection));
    EXPECT_EQ(childFrames(*at({0})), (std::vector<double>{110, 120, 140}));
    EXPECT_EQ(m_selection.nodes(), std::vector<CSceneNode *>{at({0, 1})});

    m_selection.clear();
    m_selection.select(at({0, 0}));
    ASSERT_TRUE(deleteSelected(m_selection));
    EXPECT_EQ(m_selection.nodes(), std::vector<CSceneNode *>{at({0})});

    m_selection.select(at({1}));
    EXPECT_FALSE(canDelete(m_selection, true));
}

TEST_F(SceneEditsTest, NewScenesGoWhereTheirFrameBelongs) {
    at({1})->setExpanded(0);
    at({1, 0})->setExpanded(0);
    struct Case {
        double frame;
        CSceneNode *after;
    };
    const Case cases[] = {
        {120, nullptr},        // a scene has it already
        {211, nullptr},        // also in a collapsed part
        {125, at({0, 1})},     // between 120 and 130
        {105, at({0})},        // between 100 and its first child 110
        {215, at({1, 0, 0})},  // after 211, whose ancestors get expanded
        {400, at({2})},        // past every scene: after the last node visited
    };
    for (const Case &c : cases) {
        EXPECT_EQ(placeForScene(m_root, c.frame), c.after) << c.frame;
    }
    EXPECT_EQ(at({1})->expanded(), 1);
    EXPECT_EQ(at({1, 0})->expanded(), 1);

    // A first scene above the new frame leaves no place for it.
    CVideoDescription late;
    late.root().setFrame(50);
    EXPECT_EQ(placeForScene(late.root(), 20), nullptr);
}

TEST_F(SceneEditsTest, InsertingSelectsTheNewSceneOnly) {
    m_selection.select(at({2}));
    CSceneNode *inserted = insertAfter(m_root, at({0, 1}), 125, m_selection);
    ASSERT_NE(inserted, nullptr);
    EXPECT_EQ(childFrames(*at({0})), (std::vector<double>{110, 120, 125, 130, 140}));
    EXPECT_EQ(m_selection.nodes(), std::vector<CSceneNode *>{inserted});
    EXPECT_EQ(at({2})->selected(), 0);

    // After the root means first among its children, in view.
    CVideoDescription single;
    CSceneSelection selection;
    selection.setRoot(&single.root());
    CSceneNode *place = placeForScene(single.root(), 40);
    ASSERT_EQ(place, &single.root());
    EXPECT_EQ(single.root().expanded(), 1);
    insertAfter(single.root(), place, 40, selection);
    insertAfter(single.root(), &single.root(), 20, selection);
    EXPECT_EQ(childFrames(single.root()), (std::vector<double>{20, 40}));
}

TEST_F(SceneEditsTest, MovingUnderAnOwnDescendantChangesNothing) {
    m_selection.select(at({0}));
    EXPECT_EQ(moveSelectionUnder(m_selection, at({0, 2})), 0);
    EXPECT_EQ(childFrames(m_root), (std::vector<double>{100, 200, 300}));

    m_selection.clear();
    CSceneNode *n110 = at({0, 0});
    CSceneNode *n211 = at({1, 0, 0});
    CSceneNode *n300 = at({2});
    CSceneNode *target = at({0, 3});  // 140
    target->setExpanded(0);
    m_selection.select(n300);
    m_selection.select(n110);
    m_selection.select(n211);
    EXPECT_EQ(moveSelectionUnder(m_selection, target), 3);
    EXPECT_EQ(childFrames(*target), (std::vector<double>{110, 211, 300}));
    EXPECT_EQ(target->expanded(), 1);
    EXPECT_EQ(n110->parent(), target);
    EXPECT_EQ(m_selection.count(), 3);
}

}  // namespace
