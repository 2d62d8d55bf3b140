#include "scenecontrols/scenetreeedits.h"

#include <algorithm>
#include <climits>

#include "scenecontrols/scenetreewalk.h"

namespace kivo::scenes {
namespace {

// The common parent of all selected nodes, or null.
CSceneNode *commonParent(const CSceneSelection &selection) {
    CSceneNode *parent = selection.isEmpty() ? nullptr : selection.first()->parent();
    for (const CSceneNode *node : selection.nodes()) {
        if (node->parent() != parent) {
            return nullptr;
        }
    }
    return parent;
}

struct IndexSpan {
    int lowest = INT_MAX;
    int highest = INT_MIN;
};

IndexSpan selectedIndices(const CSceneSelection &selection) {
    IndexSpan span;
    for (const CSceneNode *node : selection.nodes()) {
        const int index = node->indexInParent();
        span.lowest = std::min(span.lowest, index);
        span.highest = std::max(span.highest, index);
    }
    return span;
}

}  // namespace

bool canMerge(const CSceneSelection &selection) {
    if (selection.count() < 2 || !commonParent(selection)) {
        return false;
    }
    const IndexSpan span = selectedIndices(selection);
    return selection.count() == span.highest - span.lowest + 1;
}

CSceneNode *mergeSelected(CSceneSelection &selection) {
    CSceneNode *parent = commonParent(selection);
    if (!parent || selection.count() < 2) {
        return nullptr;
    }
    const IndexSpan span = selectedIndices(selection);
    CSceneNode *first = parent->child(span.lowest);
    CSceneNode *last = parent->child(span.highest);
    // The folded nodes are replaced by new ones, so the old selection must not outlive them.
    selection.clear();
    CSceneNode *merged = first ? first->mergeUpTo(last) : nullptr;
    if (!merged) {
        return nullptr;
    }
    selection.select(merged);
    merged->setExpanded(1);
    return merged;
}

bool canSplit(const CSceneSelection &selection) {
    const CSceneNode *last = selection.last();
    if (!last || last->depth() <= 2) {
        return false;
    }
    return std::all_of(selection.nodes().begin(), selection.nodes().end(),
                       [last](const CSceneNode *node) { return node->parent() == last->parent(); });
}

int splitSelected(CSceneSelection &selection) {
    if (!canSplit(selection)) {
        return 0;
    }
    int allMoved = 1;
    const std::vector<CSceneNode *> nodes = selection.nodes();
    for (CSceneNode *node : nodes) {
        if (!node->promote()) {
            allMoved = 0;
        }
    }
    return allMoved;
}

bool canDelete(const CSceneSelection &selection, bool treeAttached) {
    if (selection.count() > 1) {
        return false;
    }
    if (selection.count() == 1) {
        return selection.first()->parent() != nullptr;
    }
    return treeAttached;
}

bool deleteSelected(CSceneSelection &selection) {
    if (selection.count() != 1 || !selection.first()->parent()) {
        return false;
    }
    CSceneNode *node = selection.first();
    CSceneNode *parent = node->parent();
    // By identity rather than by frame: a damaged file may hold two siblings with one frame,
    // and the node the user chose is the one to go.
    const int index = node->indexInParent();
    if (index < 0) {
        return false;
    }
    CSceneNode *next = index > 0 ? parent->child(index - 1) : parent;
    selection.clear();
    parent->deleteChild(index);
    selection.select(next);
    return true;
}

CSceneNode *placeForScene(CSceneNode &root, double frame) {
    CSceneNode *best = nullptr;
    CSceneNode *last = nullptr;
    double bestFrame = 0;
    bool refused = false;
    bool found = false;
    walkAllNodes(root, [&](CSceneNode &node) {
        last = &node;
        if (node.frame() == frame) {
            refused = true;
            return false;
        }
        if (frame > bestFrame && frame < node.frame()) {
            found = true;
            refused = best == nullptr;
            return false;
        }
        best = &node;
        bestFrame = node.frame();
        return true;
    });
    if (refused) {
        return nullptr;
    }
    if (!found) {
        best = last;
    }
    if (best == &root) {
        root.setExpanded(1);
    } else {
        best->expandAncestors();
    }
    return best;
}

CSceneNode *insertAfter(CSceneNode &root, CSceneNode *node, double frame,
                        CSceneSelection &selection) {
    if (!node) {
        return nullptr;
    }
    CSceneNode *parent = node->parent();
    CSceneNode *inserted = nullptr;
    if (!parent) {
        // Right after the root in display order is the root's first child.
        root.setExpanded(1);
        inserted = root.insertChild(0, std::make_unique<CSceneNode>(&root, frame));
    } else {
        inserted = parent->insertChild(node->indexInParent() + 1,
                                       std::make_unique<CSceneNode>(parent, frame));
    }
    selection.clear();
    selection.select(inserted);
    return inserted;
}

int moveSelectionUnder(CSceneSelection &selection, CSceneNode *target) {
    if (!target) {
        return 0;
    }
    int moved = 0;
    const std::vector<CSceneNode *> nodes = selection.nodes();
    for (CSceneNode *node : nodes) {
        moved += node->moveUnder(target);
    }
    target->setExpanded(1);
    return moved;
}

}  // namespace kivo::scenes
