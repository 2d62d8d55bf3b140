#pragma once

#include <vector>

#include "scene/videodescription.h"

// Walks over a scene tree without recursion, so that a tree of any depth (a damaged or
// hand-made file can nest scenes a hundred thousand levels deep) cannot exhaust the stack.
// The visitor returns true to go on and false to stop the walk.

// Display order: a node, then, only when it is expanded, its children in order, each followed
// by what it shows. The visitor gets the node, its level below the start (0 for the start) and
// its row (0 for the start).
template <typename Node, typename Visit>
void walkShownNodes(Node &start, Visit &&visit) {
    struct Open {
        Node *node;
        int next;
    };
    std::vector<Open> open;
    int row = 0;
    if (!visit(start, 0, row)) {
        return;
    }
    if (start.expanded() && start.childCount() > 0) {
        open.push_back({&start, 0});
    }
    while (!open.empty()) {
        const size_t top = open.size() - 1;
        if (open[top].next >= open[top].node->childCount()) {
            open.pop_back();
            continue;
        }
        Node *child = open[top].node->child(open[top].next++);
        ++row;
        if (!visit(*child, static_cast<int>(open.size()), row)) {
            return;
        }
        if (child->expanded() && child->childCount() > 0) {
            open.push_back({child, 0});
        }
    }
}

// Every node in pre-order, collapsed parts included.
template <typename Node, typename Visit>
void walkAllNodes(Node &start, Visit &&visit) {
    std::vector<Node *> pending{&start};
    while (!pending.empty()) {
        Node *node = pending.back();
        pending.pop_back();
        if (!visit(*node)) {
            return;
        }
        for (int i = node->childCount() - 1; i >= 0; --i) {
            pending.push_back(node->child(i));
        }
    }
}
