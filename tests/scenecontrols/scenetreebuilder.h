#pragma once

#include <vector>

#include "scene/videodescription.h"

// Builds scene trees for the tests from nested frame lists:
//   addScenes(root, {{10, {{11}, {12}}}, {20}})
// gives the root two children, 10 (with 11 and 12 below it) and 20. Nodes are expanded unless
// the outline says otherwise.
struct SceneOutline {
    double frame;
    std::vector<SceneOutline> children = {};
    bool expanded = true;
};

inline void addScenes(CSceneNode &parent, const std::vector<SceneOutline> &outlines) {
    for (const SceneOutline &outline : outlines) {
        CSceneNode *node = parent.addChild(outline.frame);
        node->setExpanded(outline.expanded ? 1 : 0);
        addScenes(*node, outline.children);
    }
}

// The child reached by following indices from the root.
inline CSceneNode *nodeAt(CSceneNode &root, std::initializer_list<int> path) {
    CSceneNode *node = &root;
    for (int index : path) {
        node = node ? node->child(index) : nullptr;
    }
    return node;
}

// The frames of a node's children, in order.
inline std::vector<double> childFrames(const CSceneNode &node) {
    std::vector<double> frames;
    for (int i = 0; i < node.childCount(); ++i) {
        frames.push_back(node.child(i)->frame());
    }
    return frames;
}
