#pragma once

#include <functional>
#include <vector>

#include "scene/videodescription.h"

// The selected scenes of a scene image tree, in the order they were selected, kept in step with
// the nodes' selected flags. Every node added to the selection is reported to the handler (the
// control turns that into its scene-selected notification).
class CSceneSelection {
public:
    using AddedHandler = std::function<void(CSceneNode *)>;

    void setRoot(CSceneNode *root) { m_root = root; }
    void setAddedHandler(AddedHandler handler) { m_added = std::move(handler); }

    // Clears the selected flag of every node of the tree and empties the list.
    void clear();
    // Forgets the list without touching any flag (the tree is going away).
    void forget() { m_nodes.clear(); }
    // Drops from the list every node that is no longer a selected node of the tree, so that
    // scenes deleted or deselected behind the selection's back are never touched again.
    void dropMissing();
    // Nothing for null or an already selected node; otherwise sets its flag, appends it and
    // reports it. True when the node was added.
    bool select(CSceneNode *node);
    // Shift: from the first selected node to the clicked one among the children of their common
    // parent, in index order. False (nothing changed) when the selection is empty, the first
    // node is the root or the two have different parents.
    bool extendWithShift(CSceneNode *clicked);
    // Ctrl: adds the clicked node when it lies at the depth of the last selected one. False
    // otherwise; Ctrl never deselects.
    bool extendWithCtrl(CSceneNode *clicked);

    const std::vector<CSceneNode *> &nodes() const { return m_nodes; }
    int count() const { return static_cast<int>(m_nodes.size()); }
    bool isEmpty() const { return m_nodes.empty(); }
    CSceneNode *first() const { return m_nodes.empty() ? nullptr : m_nodes.front(); }
    CSceneNode *last() const { return m_nodes.empty() ? nullptr : m_nodes.back(); }

private:
    CSceneNode *m_root = nullptr;
    std::vector<CSceneNode *> m_nodes;
    AddedHandler m_added;
};
