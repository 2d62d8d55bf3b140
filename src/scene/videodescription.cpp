#include "scene/videodescription.h"

#include <algorithm>
#include <ctime>

CDescriptionInfo::CDescriptionInfo() : creationTime(static_cast<uint32_t>(std::time(nullptr))) {}

CSceneNode::CSceneNode(CSceneNode *parent, double frame) : m_frame(frame), m_parent(parent) {}

CSceneNode::~CSceneNode() = default;

CSceneNode *CSceneNode::child(int index) const {
    if (index < 0 || index >= childCount()) {
        return nullptr;
    }
    return m_children[static_cast<size_t>(index)].get();
}

void CSceneNode::setFrame(double frame) {
    m_frame = frame;
    if (m_parent) {
        m_parent->m_childrenAscending = false;
    }
}

void CSceneNode::noteChildPlaced(size_t index) {
    const double frame = m_children[index]->m_frame;
    const bool afterPrevious = index == 0 || m_children[index - 1]->m_frame < frame;
    const bool beforeNext =
        index + 1 >= m_children.size() || frame < m_children[index + 1]->m_frame;
    m_childrenAscending = m_childrenAscending && afterPrevious && beforeNext;
}

int CSceneNode::indexOfChild(double frame) const {
    if (m_childrenAscending) {
        const auto found = std::lower_bound(
            m_children.begin(), m_children.end(), frame,
            [](const std::unique_ptr<CSceneNode> &child, double f) { return child->m_frame < f; });
        return found != m_children.end() && (*found)->m_frame == frame
                   ? static_cast<int>(found - m_children.begin())
                   : -1;
    }
    for (int i = 0; i < childCount(); ++i) {
        if (m_children[static_cast<size_t>(i)]->m_frame == frame) {
            return i;
        }
    }
    return -1;
}

int CSceneNode::indexInParent() const {
    if (!m_parent) {
        return -1;
    }
    const auto &siblings = m_parent->m_children;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() == this) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

CSceneNode *CSceneNode::addChild(std::unique_ptr<CSceneNode> child) {
    if (!child || indexOfChild(child->m_frame) >= 0) {
        return nullptr;
    }
    child->m_parent = this;
    m_children.push_back(std::move(child));
    noteChildPlaced(m_children.size() - 1);
    return m_children.back().get();
}

CSceneNode *CSceneNode::addChild(double frame) {
    return addChild(std::make_unique<CSceneNode>(this, frame));
}

CSceneNode *CSceneNode::insertChild(int index, std::unique_ptr<CSceneNode> child) {
    if (!child) {
        return nullptr;
    }
    child->m_parent = this;
    CSceneNode *inserted = child.get();
    if (index < 0 || index >= childCount()) {
        m_children.push_back(std::move(child));
        noteChildPlaced(m_children.size() - 1);
    } else {
        m_children.insert(m_children.begin() + index, std::move(child));
        noteChildPlaced(static_cast<size_t>(index));
    }
    return inserted;
}

CSceneNode *CSceneNode::insertChildAfter(const CSceneNode *after,
                                         std::unique_ptr<CSceneNode> child) {
    const int index = after ? indexOfChild(after->m_frame) : -1;
    return insertChild(index < 0 ? -1 : index + 1, std::move(child));
}

void CSceneNode::deleteChild(int index) {
    if (index >= 0 && index < childCount()) {
        m_children.erase(m_children.begin() + index);
    }
}

void CSceneNode::clearChildren() {
    m_children.clear();
    m_childrenAscending = true;
}

std::unique_ptr<CSceneNode> CSceneNode::takeChild(int index) {
    std::unique_ptr<CSceneNode> taken = std::move(m_children[static_cast<size_t>(index)]);
    m_children.erase(m_children.begin() + index);
    return taken;
}

std::vector<int> CSceneNode::path() const {
    std::vector<int> indices;
    for (const CSceneNode *node = this; node; node = node->m_parent) {
        indices.push_back(node->m_parent ? node->indexInParent() : 0);
    }
    std::reverse(indices.begin(), indices.end());
    return indices;
}

int CSceneNode::depth() const {
    int levels = 0;
    for (const CSceneNode *node = this; node; node = node->m_parent) {
        ++levels;
    }
    return levels;
}

bool CSceneNode::samePosition(const CSceneNode &other) const {
    return path() == other.path();
}

void CSceneNode::expandAncestors() {
    for (CSceneNode *node = m_parent; node; node = node->m_parent) {
        node->m_expanded = 1;
    }
}

void CSceneNode::setSelectedRecursive(int32_t selected) {
    m_selected = selected;
    for (auto &child : m_children) {
        child->setSelectedRecursive(selected);
    }
}

int CSceneNode::anyChildSelected() const {
    return std::any_of(m_children.begin(), m_children.end(),
                       [](const auto &child) { return child->m_selected != 0; })
               ? 1
               : 0;
}

CSceneNode::Extent CSceneNode::visibleExtent() const {
    Extent extent{1, 1};
    if (m_expanded) {
        int deepest = 0;
        for (const auto &child : m_children) {
            const Extent childExtent = child->visibleExtent();
            extent.rows += childExtent.rows;
            deepest = std::max(deepest, childExtent.depth);
        }
        extent.depth += deepest;
    }
    return extent;
}

bool CSceneNode::findRowOfSelected(int &rows) const {
    if (m_selected) {
        return true;
    }
    ++rows;
    if (m_expanded) {
        for (const auto &child : m_children) {
            if (child->findRowOfSelected(rows)) {
                return true;
            }
        }
    }
    return false;
}

int CSceneNode::rowOfSelected() const {
    int rows = 0;
    findRowOfSelected(rows);
    return rows;
}

bool CSceneNode::hasAncestorOrSelf(const CSceneNode *node) const {
    for (const CSceneNode *walk = this; walk; walk = walk->m_parent) {
        if (walk == node) {
            return true;
        }
    }
    return false;
}

int CSceneNode::moveUnder(CSceneNode *target) {
    if (!m_parent || !target || target == this || target->indexOfChild(m_frame) >= 0 ||
        target->hasAncestorOrSelf(this)) {
        return 0;
    }
    const int index = indexInParent();
    if (index < 0) {
        return 0;
    }
    std::unique_ptr<CSceneNode> self = m_parent->takeChild(index);
    auto &siblings = target->m_children;
    const auto greater = std::find_if(siblings.begin(), siblings.end(), [this](const auto &child) {
        return child->m_frame > m_frame;
    });
    m_parent = target;
    siblings.insert(greater, std::move(self));
    return 1;
}

CSceneNode *CSceneNode::promote() {
    CSceneNode *parent = m_parent;
    CSceneNode *grandparent = parent ? parent->m_parent : nullptr;
    if (depth() < 3 || !grandparent || grandparent->indexOfChild(m_frame) >= 0) {
        return nullptr;
    }
    const int index = indexInParent();
    const int parentIndex = parent->indexInParent();
    if (index < 0 || parentIndex < 0) {
        return nullptr;
    }
    for (size_t i = static_cast<size_t>(index) + 1; i < parent->m_children.size(); ++i) {
        parent->m_children[i]->m_parent = this;
        m_children.push_back(std::move(parent->m_children[i]));
        noteChildPlaced(m_children.size() - 1);
    }
    parent->m_children.resize(static_cast<size_t>(index) + 1);
    std::unique_ptr<CSceneNode> self = parent->takeChild(index);
    return grandparent->insertChild(parentIndex + 1, std::move(self));
}

CSceneNode *CSceneNode::mergeUpTo(const CSceneNode *last) {
    if (!m_parent) {
        return nullptr;
    }
    const int first = indexInParent();
    const int end = last ? last->indexInParent() : -1;
    if (first < 0 || end <= first || last->m_parent != m_parent) {
        return nullptr;
    }
    auto &siblings = m_parent->m_children;
    for (int i = first + 1; i <= end; ++i) {
        CSceneNode &folded = *siblings[static_cast<size_t>(i)];
        auto leaf = std::make_unique<CSceneNode>(this, folded.m_frame);
        leaf->m_info = folded.m_info;
        addChild(std::move(leaf));
        for (auto &grandchild : folded.m_children) {
            grandchild->m_parent = this;
            m_children.push_back(std::move(grandchild));
            noteChildPlaced(m_children.size() - 1);
        }
        folded.clearChildren();
    }
    siblings.erase(siblings.begin() + first + 1, siblings.begin() + end + 1);
    return this;
}

CVideoDescription::CVideoDescription() = default;
