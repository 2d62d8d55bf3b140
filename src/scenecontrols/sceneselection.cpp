#include "scenecontrols/sceneselection.h"

#include <algorithm>

#include "scenecontrols/scenetreewalk.h"

void CSceneSelection::clear() {
    if (m_root) {
        walkAllNodes(*m_root, [](CSceneNode &node) {
            node.setSelected(0);
            return true;
        });
    }
    m_nodes.clear();
}

void CSceneSelection::dropMissing() {
    if (m_nodes.empty()) {
        return;
    }
    std::vector<const CSceneNode *> flagged;
    if (m_root) {
        walkAllNodes(*m_root, [&flagged](CSceneNode &node) {
            if (node.selected()) {
                flagged.push_back(&node);
            }
            return true;
        });
    }
    // Only addresses are compared: a node that is gone is never read.
    std::erase_if(m_nodes, [&flagged](const CSceneNode *node) {
        return std::find(flagged.begin(), flagged.end(), node) == flagged.end();
    });
}

bool CSceneSelection::select(CSceneNode *node) {
    if (!node || node->selected()) {
        return false;
    }
    node->setSelected(1);
    m_nodes.push_back(node);
    if (m_added) {
        m_added(node);
    }
    return true;
}

bool CSceneSelection::extendWithShift(CSceneNode *clicked) {
    CSceneNode *anchor = first();
    if (!anchor || !clicked || !anchor->parent() || anchor->parent() != clicked->parent()) {
        return false;
    }
    CSceneNode *parent = anchor->parent();
    const int from = anchor->indexInParent();
    const int to = clicked->indexInParent();
    clear();
    select(anchor);
    for (int i = std::min(from, to); i <= std::max(from, to); ++i) {
        select(parent->child(i));
    }
    return true;
}

bool CSceneSelection::extendWithCtrl(CSceneNode *clicked) {
    CSceneNode *latest = last();
    if (!latest || !clicked || latest->depth() != clicked->depth()) {
        return false;
    }
    select(clicked);
    return true;
}
