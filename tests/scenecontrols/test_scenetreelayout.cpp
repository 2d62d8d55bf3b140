#include <gtest/gtest.h>

#include "scenecontrols/scenetreelayout.h"
#include "scenetreebuilder.h"

namespace {

const QSize kCell(41, 25);
const QRect kThumbnail(3, 3, 35, 18);
const QSize kButton(7, 7);

CSceneTreeGeometry atRate(float rate) {
    return CSceneTreeGeometry::scaled(kCell, kThumbnail, rate);
}

TEST(SceneTreeGeometry, ScalesEveryCellDimensionWithTruncation) {
    struct Case {
        float rate;
        int width, height, indent, pitch, lineX, lineY;
        QRect thumbnail;
    };
    const Case cases[] = {
        {1.0f, 41, 25, 20, 35, 10, 12, QRect(3, 3, 35, 18)},
        {1.5f, 61, 37, 30, 47, 15, 18, QRect(4, 4, 52, 27)},
        {5.0f, 205, 125, 102, 135, 51, 62, QRect(15, 15, 175, 90)},
    };
    for (const Case &c : cases) {
        const CSceneTreeGeometry g = atRate(c.rate);
        EXPECT_EQ(g.cellWidth, c.width) << c.rate;
        EXPECT_EQ(g.cellHeight, c.height) << c.rate;
        EXPECT_EQ(g.indent, c.indent) << c.rate;
        EXPECT_EQ(g.rowPitch, c.pitch) << c.rate;
        EXPECT_EQ(g.lineX, c.lineX) << c.rate;
        EXPECT_EQ(g.lineY, c.lineY) << c.rate;
        EXPECT_EQ(g.thumbnail, c.thumbnail) << c.rate;
    }
}

class SceneTreeLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        // root(0) -> 10 -> {11, 12 -> {13}}, 20 (collapsed) -> {21, 22}, 30
        m_root.setExpanded(1);
        addScenes(m_root, {{10, {{11}, {12, {{13}}}}}, {20, {{21}, {22}}, false}, {30}});
    }
    CVideoDescription m_description;
    CSceneNode &m_root = m_description.root();
};

TEST_F(SceneTreeLayoutTest, CollapsedChildrenTakeNoRows) {
    const CTreeExtent extent = shownExtent(m_root);
    EXPECT_EQ(extent.rows, 7);  // root, 10, 11, 12, 13, 20, 30
    EXPECT_EQ(extent.depth, 4);
    nodeAt(m_root, {1})->setExpanded(1);
    EXPECT_EQ(shownExtent(m_root).rows, 9);
    m_root.setExpanded(0);
    EXPECT_EQ(shownExtent(m_root).rows, 1);
    EXPECT_EQ(shownExtent(m_root).depth, 1);
}

TEST_F(SceneTreeLayoutTest, RowOfTheFirstSelectedInDisplayOrder) {
    EXPECT_EQ(rowOfFirstSelected(m_root), 7);  // none selected: the number of rows
    nodeAt(m_root, {2})->setSelected(1);
    nodeAt(m_root, {0, 1, 0})->setSelected(1);
    EXPECT_EQ(rowOfFirstSelected(m_root), 4);
    m_root.setSelected(1);
    EXPECT_EQ(rowOfFirstSelected(m_root), 0);
}

TEST_F(SceneTreeLayoutTest, HitTestFindsCellsAndButtonsOfShownNodes) {
    const CSceneTreeGeometry g = atRate(1.0f);
    const QPoint origin = rootCellPosition(g, 0, 0);
    ASSERT_EQ(origin, QPoint(5, 5));
    struct Case {
        QPoint point;
        CSceneNode *node;
        CTreeHit::Part part;
    };
    CSceneNode *n10 = nodeAt(m_root, {0});
    CSceneNode *n12 = nodeAt(m_root, {0, 1});
    CSceneNode *n20 = nodeAt(m_root, {1});
    const Case cases[] = {
        {{5, 5}, &m_root, CTreeHit::kCell},
        {{45, 29}, &m_root, CTreeHit::kCell},
        {{46, 29}, nullptr, CTreeHit::kNothing},
        // Row 1 at (25, 40); its button spans x 12..18, y 49..55.
        {{25, 40}, n10, CTreeHit::kCell},
        {{12, 49}, n10, CTreeHit::kButton},
        {{18, 55}, n10, CTreeHit::kButton},
        // Row 3 (12) at (45, 110), level 2.
        {{50, 120}, n12, CTreeHit::kCell},
        // Row 5 (20) at (25, 180); the collapsed children 21 and 22 are not shown, so row 6
        // is 30.
        {{30, 190}, n20, CTreeHit::kCell},
        {{30, 225}, nodeAt(m_root, {2}), CTreeHit::kCell},
        {{30, 260}, nullptr, CTreeHit::kNothing},
        {{300, 10}, nullptr, CTreeHit::kNothing},
    };
    for (const Case &c : cases) {
        const CTreeHit hit = hitTestTree(&m_root, origin, g, kButton, c.point);
        EXPECT_EQ(hit.node, c.node) << c.point.x() << "," << c.point.y();
        EXPECT_EQ(hit.part, c.part) << c.point.x() << "," << c.point.y();
    }
    // Scrolled down by two cell heights, everything moves up by 50 pixels.
    const QPoint scrolled = rootCellPosition(g, 0, 2);
    EXPECT_EQ(hitTestTree(&m_root, scrolled, g, kButton, QPoint(50, 70)).node, n12);
    EXPECT_EQ(hitTestTree(nullptr, origin, g, kButton, QPoint(5, 5)).part, CTreeHit::kNothing);
}

TEST(SceneTreeScrollState, FollowsTheRelayoutRules) {
    const CSceneTreeGeometry g = atRate(1.0f);
    // Fits: no bars, positions back to 0.
    EXPECT_EQ(treeScrollState({200, 200}, {3, 2}, g, 7, 3, false, 0),
              (CScrollState{false, false, 0, 0, 0, 0, 8}));
    // 20 rows in 200 pixels: (10 x 19 + 25 x 20 + 10) / 25 - 8 = 20 rows too many; range to 21.
    const CScrollState tall = treeScrollState({200, 200}, {20, 2}, g, 0, 30, false, 0);
    EXPECT_EQ(tall, (CScrollState{false, true, 0, 21, 0, 21, 8}));
    // Centring on row 10: (5 + 35 x 10) / 25 - (200 / 35) / 2 - 1 = 14 - 2 - 1.
    EXPECT_EQ(treeScrollState({200, 200}, {20, 2}, g, 0, 0, true, 10).verticalPosition, 11);
    EXPECT_EQ(treeScrollState({200, 200}, {20, 2}, g, 0, 5, true, 0).verticalPosition, 0);
    EXPECT_EQ(treeScrollState({200, 200}, {20, 2}, g, 0, 0, true, 20).verticalPosition, 21);
    // Too deep for 60 pixels: (2 - 1) x 20 + 10 + 41 - 60 = 11 pixels; a position of 0 jumps
    // to the end of the range, others are kept within it.
    EXPECT_EQ(treeScrollState({60, 400}, {2, 2}, g, 0, 4, false, 0),
              (CScrollState{true, false, 11, 0, 11, 0, 16}));
    EXPECT_EQ(treeScrollState({60, 400}, {2, 2}, g, 5, 0, false, 0).horizontalPosition, 5);
    EXPECT_EQ(treeScrollState({60, 400}, {2, 2}, g, 50, 0, false, 0).horizontalPosition, 11);
    // Both: the ranges grow by the other bar's thickness and by one more row.
    EXPECT_EQ(treeScrollState({60, 200}, {20, 2}, g, 0, 3, false, 0),
              (CScrollState{true, true, 27, 22, 27, 3, 8}));
}

TEST(SceneTreeWalk, AVeryDeepTreeIsWalkedWithoutRecursion) {
    CVideoDescription description;
    CSceneNode *node = &description.root();
    constexpr int kLevels = 10000;
    for (int level = 1; level < kLevels; ++level) {
        node->setExpanded(1);
        node = node->addChild(level);
    }
    const CTreeExtent extent = shownExtent(description.root());
    EXPECT_EQ(extent.rows, kLevels);
    EXPECT_EQ(extent.depth, kLevels);
    node->setSelected(1);
    EXPECT_EQ(rowOfFirstSelected(description.root()), kLevels - 1);
    const CSceneTreeGeometry g = atRate(1.0f);
    const QPoint deepest(5 + (kLevels - 1) * g.indent, 5 + (kLevels - 1) * g.rowPitch);
    EXPECT_EQ(hitTestTree(&description.root(), {5, 5}, g, kButton, deepest).node, node);
}

}  // namespace
