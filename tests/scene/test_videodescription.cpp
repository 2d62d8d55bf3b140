#include "scene/videodescription.h"

#include <gtest/gtest.h>

namespace {

// Frames of the children of `node`, in order.
std::vector<double> frames(const CSceneNode &node) {
    std::vector<double> out;
    for (int i = 0; i < node.childCount(); ++i) {
        out.push_back(node.child(i)->frame());
    }
    return out;
}

using Frames = std::vector<double>;

// root -> A(100) -> {a1(110), a2(120), a3(130)}, B(200) -> {b1(210)}
class SceneTree : public ::testing::Test {
protected:
    void SetUp() override {
        a = root.addChild(100);
        b = root.addChild(200);
        a1 = a->addChild(110);
        a2 = a->addChild(120);
        a3 = a->addChild(130);
        b1 = b->addChild(210);
    }

    CVideoDescription doc;
    CSceneNode &root = doc.root();
    CSceneNode *a, *b, *a1, *a2, *a3, *b1;
};

}  // namespace

TEST(SceneNodeDefaults, NewDocumentHasAnEmptyRootAndDefaultRecords) {
    CVideoDescription doc;
    EXPECT_EQ(doc.root().frame(), 0.0);
    EXPECT_EQ(doc.root().childCount(), 0);
    EXPECT_EQ(doc.root().parent(), nullptr);
    EXPECT_TRUE(doc.mediaPath().empty());
    EXPECT_GT(doc.info().creationTime, 1600000000u);
    const CCaptionEntry caption;
    EXPECT_EQ(caption.reservedP, 26);
    EXPECT_EQ(caption.reservedO, -1);
    const CSceneInfo info;
    EXPECT_EQ(info.reservedC, -1);
    EXPECT_EQ(info.reservedA, -1.0);
}

TEST_F(SceneTree, AddChildRefusesDuplicateFramesOnlyAmongSiblings) {
    EXPECT_EQ(root.addChild(100), nullptr);
    EXPECT_EQ(frames(root), (Frames{100, 200}));
    EXPECT_NE(b->addChild(110), nullptr);
    EXPECT_EQ(a1->parent(), a);
    EXPECT_EQ(root.indexOfChild(200), 1);
    EXPECT_EQ(root.indexOfChild(150), -1);
}

TEST(SceneNodeLookup, FramesAreFoundWhateverTheOrderOfTheChildren) {
    // Children in frame order are looked up by halving; any other order by a walk. Every way of
    // putting a child out of order must switch to the walk.
    CSceneNode root;
    for (double frame : {10.0, 20.0, 30.0}) {
        ASSERT_NE(root.addChild(frame), nullptr);
    }
    EXPECT_EQ(root.indexOfChild(20), 1);
    EXPECT_EQ(root.indexOfChild(25), -1);
    root.insertChild(0, std::make_unique<CSceneNode>(nullptr, 40.0));  // 40 10 20 30
    EXPECT_EQ(root.indexOfChild(40), 0);
    EXPECT_EQ(root.indexOfChild(30), 3);
    EXPECT_EQ(root.addChild(10), nullptr);

    CSceneNode other;
    other.addChild(1);
    other.addChild(2)->setFrame(0.5);  // 1 0.5
    EXPECT_EQ(other.indexOfChild(0.5), 1);
    EXPECT_EQ(other.addChild(0.5), nullptr);
    other.clearChildren();
    other.addChild(5);
    other.addChild(3);  // out of order again after the clear
    EXPECT_EQ(other.indexOfChild(3), 1);
    EXPECT_EQ(other.addChild(3), nullptr);
}

TEST_F(SceneTree, InsertAndDeleteChildren) {
    a->insertChild(0, std::make_unique<CSceneNode>(nullptr, 105));
    a->insertChild(99, std::make_unique<CSceneNode>(nullptr, 140));
    a->insertChildAfter(a2, std::make_unique<CSceneNode>(nullptr, 125));
    EXPECT_EQ(frames(*a), (Frames{105, 110, 120, 125, 130, 140}));
    EXPECT_EQ(a->child(0)->parent(), a);
    a->deleteChild(0);
    a->deleteChild(42);
    EXPECT_EQ(frames(*a), (Frames{110, 120, 125, 130, 140}));
    root.deleteChild(0);
    EXPECT_EQ(frames(root), (Frames{200}));
    root.clearChildren();
    EXPECT_EQ(root.childCount(), 0);
}

TEST_F(SceneTree, PathDepthAndSamePosition) {
    EXPECT_EQ(root.path(), (std::vector<int>{0}));
    EXPECT_EQ(root.depth(), 1);
    EXPECT_EQ(a3->path(), (std::vector<int>{0, 0, 2}));
    EXPECT_EQ(a3->depth(), 3);
    CVideoDescription other;
    CSceneNode *x = other.root().addChild(1)->addChild(2);
    other.root().child(0)->addChild(3);
    CSceneNode *y = other.root().child(0)->addChild(4);
    EXPECT_TRUE(a3->samePosition(*y));
    EXPECT_FALSE(a3->samePosition(*x));
}

TEST_F(SceneTree, VisibleExtentAndRowOfSelectedFollowExpansion) {
    EXPECT_EQ(root.visibleExtent().rows, 1);
    root.setExpanded(1);
    EXPECT_EQ(root.visibleExtent().rows, 3);
    EXPECT_EQ(root.visibleExtent().depth, 2);
    EXPECT_EQ(root.rowOfSelected(), 3);  // nothing selected: all visible rows
    b1->expandAncestors();
    EXPECT_EQ(root.visibleExtent().rows, 4);
    EXPECT_EQ(root.visibleExtent().depth, 3);
    b1->setSelected(1);
    EXPECT_EQ(root.rowOfSelected(), 3);  // root, A, B precede it
    a->setExpanded(1);
    EXPECT_EQ(root.rowOfSelected(), 6);
    EXPECT_EQ(b->anyChildSelected(), 1);
    EXPECT_EQ(a->anyChildSelected(), 0);
    root.setSelectedRecursive(0);
    EXPECT_EQ(b1->selected(), 0);
}

TEST_F(SceneTree, PromoteTakesLaterSiblingsAlong) {
    a2->addChild(121);
    CSceneNode *promoted = a2->promote();
    ASSERT_EQ(promoted, a2);
    EXPECT_EQ(frames(root), (Frames{100, 120, 200}));
    EXPECT_EQ(frames(*a), (Frames{110}));
    EXPECT_EQ(frames(*a2), (Frames{121, 130}));
    EXPECT_EQ(a2->parent(), &root);
    EXPECT_EQ(a3->parent(), a2);
}

TEST_F(SceneTree, PromoteOfFirstChildEmptiesTheParent) {
    ASSERT_EQ(a1->promote(), a1);
    EXPECT_EQ(a->childCount(), 0);
    EXPECT_EQ(frames(*a1), (Frames{120, 130}));
    EXPECT_EQ(frames(root), (Frames{100, 110, 200}));
}

TEST_F(SceneTree, PromoteRefusals) {
    EXPECT_EQ(a->promote(), nullptr);  // child of the root
    EXPECT_EQ(root.promote(), nullptr);
    root.addChild(120);  // the grandparent already has frame 120
    EXPECT_EQ(a2->promote(), nullptr);
    EXPECT_EQ(frames(*a), (Frames{110, 120, 130}));
    EXPECT_EQ(frames(root), (Frames{100, 200, 120}));
}

TEST_F(SceneTree, MergeFoldsSiblingsIntoLeavesAndLiftsTheirChildren) {
    b->info().title = "B";
    b->info().reservedE = "kept";
    ASSERT_EQ(a->mergeUpTo(b), a);
    EXPECT_EQ(frames(root), (Frames{100}));
    EXPECT_EQ(frames(*a), (Frames{110, 120, 130, 200, 210}));
    CSceneNode *leaf = a->child(3);
    EXPECT_EQ(leaf->childCount(), 0);
    EXPECT_EQ(leaf->info().title, "B");
    EXPECT_EQ(leaf->info().reservedE, "kept");
    EXPECT_EQ(a->child(4)->parent(), a);
}

TEST_F(SceneTree, MergeDropsALeafWhoseFrameExistsAndRefusesBadRanges) {
    b->setFrame(110);  // same frame as a1: the leaf is discarded, its children still move
    ASSERT_EQ(a->mergeUpTo(b), a);
    EXPECT_EQ(frames(*a), (Frames{110, 120, 130, 210}));
    EXPECT_EQ(a1->mergeUpTo(a1), nullptr);
    EXPECT_EQ(a2->mergeUpTo(a1), nullptr);
    EXPECT_EQ(root.mergeUpTo(a), nullptr);
    EXPECT_EQ(a1->mergeUpTo(a), nullptr);  // not a sibling
}

TEST_F(SceneTree, MoveUnderKeepsFrameOrderAndRefusesCycles) {
    ASSERT_EQ(b1->moveUnder(a), 1);
    EXPECT_EQ(frames(*a), (Frames{110, 120, 130, 210}));
    ASSERT_EQ(a3->moveUnder(b), 1);
    ASSERT_EQ(a1->moveUnder(b), 1);
    EXPECT_EQ(frames(*b), (Frames{110, 130}));
    EXPECT_EQ(a1->parent(), b);

    EXPECT_EQ(a->moveUnder(a2), 0);   // own descendant
    EXPECT_EQ(a->moveUnder(a), 0);    // itself
    EXPECT_EQ(root.moveUnder(a), 0);  // the root
    b->addChild(120);
    EXPECT_EQ(a2->moveUnder(b), 0);  // frame already there
    EXPECT_EQ(frames(*a), (Frames{120, 210}));
}
