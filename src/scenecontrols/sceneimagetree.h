#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "scene/videodescription.h"
#include "scenecontrols/sceneselection.h"
#include "scenecontrols/scenetreegeometry.h"
#include "scenecontrols/scenetreelayout.h"
#include "scenecontrols/thumbnailcellpainter.h"

class CVideoManager;
class CScrollBarPair;
class QLabel;
class QScrollBar;

// The scene image tree: the scene tree of a description drawn as an indented list of thumbnail
// cells joined by white lines, with buttons on the joints that expand and collapse children.
// The user selects scenes (click, Shift for a run of siblings, Ctrl for more at the same depth),
// expands and collapses them and drags them under other scenes; the owner adds, deletes, merges,
// splits and saves scenes through the operations below.
//
// The description and the video are borrowed: detach() (or attach() of another) before they
// are freed. After changing the tree by other means than these operations, call reset(); until
// then the control forgets selected scenes that have left the tree at the next click or edit.
// Every operation does nothing and returns 0 while no tree is attached.
class CSceneImageTree : public QWidget {
    Q_OBJECT

public:
    static constexpr int kVerticalBarId = 90000;
    static constexpr int kHorizontalBarId = 90001;
    static constexpr int kDragThreshold = 5;

    explicit CSceneImageTree(QWidget *parent = nullptr);
    ~CSceneImageTree() override;

    // Set-up by the owner, once after creation.
    // Skin bitmap numbers of the normal and selected cells and the collapsed and expanded
    // buttons, drawn with the transparent colour left out. The normal cell's size is the
    // unscaled cell size. 0 (nothing changed) when one is unknown.
    int loadBitmaps(int normal, int selected, int collapsed, int expanded, QRgb transparent);
    void setThumbnailRect(int x, int y, int width, int height);
    // Scales every cell dimension; drops the thumbnails for an empty cache.
    void setSizeRate(float rate);
    float sizeRate() const { return m_rate; }

    void attach(CVideoDescription *description, CVideoManager *video);
    void detach();
    // Idle, nothing selected, both positions 0, both bars hidden, laid out again.
    void reset();
    // Recomputes the scroll bars and repaints; with centring, the first selected scene is
    // brought to about the middle.
    void relayout(bool centreOnSelection = false);
    // With the vertical bar shown: the vertical position becomes the row, or the end of the
    // range for -1 or a row beyond it.
    void scrollToRow(int row);
    // The cache look-up: the thumbnail of the frame, grabbed when not kept.
    const CDib *thumbnail(double frame);
    // Drops every kept thumbnail (the tree is about to get new pictures).
    void dropThumbnails();

    // Selection, as the owner reads it.
    int rowOfFirstSelected() const;
    int selectionCount() const { return m_selection.count(); }
    const std::vector<CSceneNode *> &selection() const { return m_selection.nodes(); }

    // Editing.
    bool canMerge() const;
    int mergeSelected();
    bool canSplit() const;
    int splitSelected();
    bool canDelete() const;
    int deleteSelected();
    // A new scene at the frame, where it belongs by frame order; refused (0) for a frame of 0
    // or less, a frame some scene already has, or without a description and a video.
    int addScene(double frame);
    int insertAfter(CSceneNode *node, double frame);
    // The image of the scene (the last selected one without a node) into a file the user picks.
    int saveImage(CSceneNode *node = nullptr);
    int moveSelectionUnder(CSceneNode *target);

    // Flags of the long tree operations (basic tree construction, thumbnail re-extraction),
    // which run on this thread and set by their progress dialogs.
    void setCancelFlag(bool on) { m_cancel = on; }
    void setPauseFlag(bool on) { m_pause = on; }
    bool cancelFlag() const { return m_cancel; }
    bool pauseFlag() const { return m_pause; }
    void clearLongOperationFlags() { m_cancel = m_pause = false; }
    // One step of a long operation: handles pending events, waits (still handling events) while
    // paused and not cancelled, and answers whether to go on (false once cancelled).
    bool continueLongOperation();
    // Posts the tree-changed notification (the end of a basic tree construction).
    void postTreeChanged();

    // What the control shows, for its owner and its tests.
    CSceneNode *root() const { return m_root; }
    CVideoDescription *description() const { return m_description; }
    CVideoManager *video() const { return m_video; }
    const CSceneTreeGeometry &geometry() const { return m_geometry; }
    QSize buttonSize() const;
    int horizontalPosition() const { return m_horizontalPosition; }
    int verticalPosition() const { return m_verticalPosition; }
    QScrollBar *verticalBar() const;
    QScrollBar *horizontalBar() const;
    const CThumbnailCache *thumbnailCache() const { return m_cells.cache(); }
    CTreeHit hitTest(QPoint point) const;
    // The tooltip over a point: the title, comment, frame and time of the scene whose cell is
    // there; empty elsewhere.
    QString tooltipText(QPoint point) const;
    bool isDragging() const { return m_dragging; }
    CSceneNode *dropTarget() const { return m_dropTarget; }
    // Paints what the control shows onto any painter (the widget's paint uses it).
    void paintScene(QPainter &painter, const QRect &client);

signals:
    // 0x09DD (sent): a scene was added to the selection.
    void sceneSelected(CSceneImageTree *tree, CSceneNode *node);
    // 0x09DE (sent): the right button went down on a cell; the point is in control coordinates.
    void contextRequested(CSceneImageTree *tree, QPoint point);
    // 0x09DF (posted: emitted from the event loop after the change): the tree was changed by a
    // drop, an added scene, a merge or a split.
    void treeChanged(CSceneImageTree *tree);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool event(QEvent *event) override;

private:
    void recomputeGeometry();
    void newCache();
    void leftButtonDown(QPoint point, Qt::KeyboardModifiers modifiers);
    void toggleExpanded(CSceneNode *node);
    void startDrag(QPoint point);
    void moveDrag(QPoint point);
    void drop();
    void endDrag();
    QPoint rootPosition() const;
    void scrolled();

    CVideoDescription *m_description = nullptr;
    CVideoManager *m_video = nullptr;
    CSceneNode *m_root = nullptr;
    CSceneSelection m_selection;
    CThumbnailCellPainter m_cells;
    std::unique_ptr<CScrollBarPair> m_bars;

    QPixmap m_collapsedButton;
    QPixmap m_expandedButton;
    QSize m_cellSize{41, 25};
    QRect m_thumbnailRect{3, 3, 35, 18};
    float m_rate = 1.0f;
    CSceneTreeGeometry m_geometry;
    int m_horizontalPosition = 0;
    int m_verticalPosition = 0;

    bool m_pressed = false;
    QPoint m_pressPoint;
    bool m_dragging = false;
    CSceneNode *m_dropTarget = nullptr;
    QPoint m_dragHotSpot;
    QPointer<QLabel> m_dragImage;

    bool m_cancel = false;
    bool m_pause = false;
};
