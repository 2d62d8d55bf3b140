#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The document that describes one video by its scenes: a tree of scenes keyed by frame number,
// the repeat sections, the captions, extra entries and the path of the media file.
// Texts are UTF-8 in memory; the file layer converts them at the boundary.

struct CDescriptionInfo {
    CDescriptionInfo();

    std::string text1;
    std::string text2;
    std::string text3;
    uint32_t creationTime;  // seconds since 1970-01-01 UTC, set at construction
};

// Title and comment of a scene, plus values that nothing in the program interprets; they are
// carried through load, copy and save unchanged.
struct CSceneInfo {
    std::string title;
    std::string comment;
    double reservedA = -1.0;
    double reservedB = -1.0;
    int32_t reservedC = -1;
    double reservedD = -1.0;
    std::string reservedE;
    std::string reservedF;
    std::string reservedG;

    bool operator==(const CSceneInfo &) const = default;
};

struct CRepeatSection {
    int32_t row = 0;
    std::string title;
    double start = -1.0;  // media time, 100 ns units
    double end = -1.0;
    int32_t repeatCount = 0;

    bool operator==(const CRepeatSection &) const = default;
};

struct CCaptionEntry {
    double time = -1.0;  // media time, 100 ns units
    int32_t reservedH = -1;
    std::string text;
    std::string reservedI;
    double reservedJ = -1.0;
    std::string reservedK;
    std::string reservedL;
    std::string reservedM;
    double reservedN = -1.0;  // stored from file version 201 on
    int32_t reservedO = -1;   // stored from file version 201 on
    int32_t reservedP = 26;   // stored from file version 202 on

    bool operator==(const CCaptionEntry &) const = default;
};

struct CExtraEntry {
    double reals[3] = {-1.0, -1.0, -1.0};
    std::string texts[3];

    bool operator==(const CExtraEntry &) const = default;
};

struct CLayoutPoint {
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const CLayoutPoint &) const = default;
};

// One scene: identified among its siblings by the number of its first frame.
class CSceneNode {
public:
    explicit CSceneNode(CSceneNode *parent = nullptr, double frame = 0.0);
    ~CSceneNode();
    CSceneNode(const CSceneNode &) = delete;
    CSceneNode &operator=(const CSceneNode &) = delete;

    double frame() const { return m_frame; }
    void setFrame(double frame);
    int32_t expanded() const { return m_expanded; }
    void setExpanded(int32_t expanded) { m_expanded = expanded; }
    int32_t selected() const { return m_selected; }
    void setSelected(int32_t selected) { m_selected = selected; }
    CSceneNode *parent() const { return m_parent; }
    CSceneInfo &info() { return m_info; }
    const CSceneInfo &info() const { return m_info; }
    CLayoutPoint layoutPoint() const { return m_layoutPoint; }
    void setLayoutPoint(CLayoutPoint point) { m_layoutPoint = point; }

    int childCount() const { return static_cast<int>(m_children.size()); }
    CSceneNode *child(int index) const;
    // Index of the first child whose frame equals `frame` exactly, or -1.
    int indexOfChild(double frame) const;
    // Index of this very node among its parent's children, or -1 (root, or not found).
    int indexInParent() const;

    // Appends the child unless a child with the same frame exists. The node becomes the
    // child's parent. Returns the child, or null on a duplicate (the child is then discarded).
    CSceneNode *addChild(std::unique_ptr<CSceneNode> child);
    // Convenience: a new child at `frame`, or null on a duplicate.
    CSceneNode *addChild(double frame);
    // No duplicate check. An index outside 0..count-1 appends.
    CSceneNode *insertChild(int index, std::unique_ptr<CSceneNode> child);
    // Inserts after the child whose frame equals after->frame(); appends when there is none.
    // No duplicate check.
    CSceneNode *insertChildAfter(const CSceneNode *after, std::unique_ptr<CSceneNode> child);
    // Deletes the child with its subtree; an index out of range does nothing.
    void deleteChild(int index);
    void clearChildren();

    // Child indices from the root down to this node; the root contributes a leading 0.
    std::vector<int> path() const;
    int depth() const;
    bool samePosition(const CSceneNode &other) const;
    void expandAncestors();
    void setSelectedRecursive(int32_t selected);
    int anyChildSelected() const;

    struct Extent {
        int rows;
        int depth;
    };
    Extent visibleExtent() const;
    // Visible rows (pre-order, children of expanded nodes only) before the first selected node,
    // counted from this node; the number of visible rows when nothing is selected.
    int rowOfSelected() const;

    // Moves this node under `target`, before target's first child with a greater frame.
    int moveUnder(CSceneNode *target);
    // Splits this node out to its grandparent, taking its later siblings as children.
    CSceneNode *promote();
    // Folds the siblings after this node, up to and including `last`, into this node.
    CSceneNode *mergeUpTo(const CSceneNode *last);

private:
    std::unique_ptr<CSceneNode> takeChild(int index);
    // Keeps m_childrenAscending true for as long as the child just put at index keeps the order.
    void noteChildPlaced(size_t index);
    bool hasAncestorOrSelf(const CSceneNode *node) const;
    bool findRowOfSelected(int &rows) const;

    double m_frame;
    int32_t m_expanded = 0;
    int32_t m_selected = 0;
    CSceneNode *m_parent;
    CSceneInfo m_info;
    CLayoutPoint m_layoutPoint;
    std::vector<std::unique_ptr<CSceneNode>> m_children;
    // The children's frames rise strictly from first to last, as a tree built in frame order
    // has them: a frame is then found by halving instead of by a walk over every child.
    bool m_childrenAscending = true;
};

class CVideoDescription {
public:
    CVideoDescription();
    CVideoDescription(const CVideoDescription &) = delete;
    CVideoDescription &operator=(const CVideoDescription &) = delete;

    CDescriptionInfo &info() { return m_info; }
    const CDescriptionInfo &info() const { return m_info; }
    CSceneNode &root() { return m_root; }
    const CSceneNode &root() const { return m_root; }

    const std::string &mediaPath() const { return m_mediaPath; }
    void setMediaPath(std::string path) { m_mediaPath = std::move(path); }

    std::vector<CRepeatSection> &repeatSections() { return m_repeatSections; }
    const std::vector<CRepeatSection> &repeatSections() const { return m_repeatSections; }
    std::vector<CCaptionEntry> &captions() { return m_captions; }
    const std::vector<CCaptionEntry> &captions() const { return m_captions; }
    std::vector<CExtraEntry> &extraEntries() { return m_extraEntries; }
    const std::vector<CExtraEntry> &extraEntries() const { return m_extraEntries; }

private:
    CDescriptionInfo m_info;
    CSceneNode m_root;
    std::vector<CRepeatSection> m_repeatSections;
    std::vector<CCaptionEntry> m_captions;
    std::vector<CExtraEntry> m_extraEntries;
    std::string m_mediaPath;
};
