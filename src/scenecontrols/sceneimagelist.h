#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "scenecontrols/scenestriplayout.h"
#include "scenecontrols/thumbnailcellpainter.h"

class CSceneImageTree;
class CScrollBarPair;
class CVideoDescription;
class CVideoManager;
class QScrollBar;

// The frame strip: the whole video as a strip of equal thumbnail cells, one per frame step,
// scrolled by hand or automatically. A click chooses a frame and tells the parent; the chosen
// frame can become a new scene of a linked scene image tree or be saved as a picture.
// The description and the video are borrowed: detach() before they are freed.
class CSceneImageList : public QWidget {
    Q_OBJECT

public:
    static constexpr int kVerticalBarId = 80000;
    static constexpr int kHorizontalBarId = 80001;
    enum class Scrolling { Stopped, Forwards, Backwards };

    explicit CSceneImageList(QWidget *parent = nullptr);
    ~CSceneImageList() override;

    // Skin bitmap numbers of the normal cell and the chosen frame's cell, drawn with the
    // transparent colour left out; the normal cell's size is the unscaled cell size. 0 (nothing
    // changed) when one is unknown.
    int loadBitmaps(int normal, int chosen, QRgb transparent);
    // Unscaled offset and size of the thumbnail inside a cell.
    void setThumbnailRect(int x, int y, int width, int height);
    void setFramesPerCell(int frames);
    int framesPerCell() const { return m_framesPerCell; }
    // 1: cells stacked top to bottom, centred across; 0: side by side, centred vertically.
    void setOrientation(int topToBottom);
    // Scales cells and thumbnails, starts an empty cache and lays the strip out again.
    void setSizeRate(float rate);
    float sizeRate() const { return m_rate; }
    // The tree that receives new scenes (none: null).
    void linkTree(CSceneImageTree *tree) { m_tree = tree; }

    void attach(CVideoDescription *description, CVideoManager *video);
    void detach();
    void reset();
    void relayout();
    // The position becomes the given one, limited to 0 .. the last position.
    void scrollTo(int position);
    // Replace any running automatic scrolling; timer 5 moves the strip by the cells every
    // interval until it reaches an end.
    void scrollForwards(int cellsPerTick, int intervalMs);
    void scrollBackwards(int cellsPerTick, int intervalMs);
    void stopScrolling();

    // A new scene in the linked tree at the frame (when above 0) or else at the chosen frame.
    // 0 without description and video, without a linked tree, without a frame above 0, or when
    // the tree refuses the frame.
    int addScene(double frame = -1);
    // The picture of the frame (-1: the chosen frame) into a file the user picks; nothing when
    // there is no such frame.
    int saveImage(double frame = -1);

    double chosenFrame() const { return m_chosenFrame; }
    int position() const { return m_position; }
    int lastPosition() const { return m_layout.lastPosition; }
    int visibleCells() const { return m_layout.visibleCells; }
    Scrolling scrolling() const { return m_scrolling; }
    int scrollInterval() const { return m_intervalMs; }
    const CStripGeometry &stripGeometry() const { return m_geometry; }
    QRect cellRect(int index) const { return m_geometry.cell(size(), index); }
    // The frame of the cell under the point, or -1.
    double frameAt(QPoint point) const;
    QString tooltipText(QPoint point) const;
    QScrollBar *verticalBar() const;
    QScrollBar *horizontalBar() const;
    const CThumbnailCache *thumbnailCache() const { return m_cells.cache(); }
    void paintStrip(QPainter &painter, const QRect &client);

signals:
    // 0x0979 (sent): the left button chose the frame of a cell.
    void frameChosen(CSceneImageList *list, int frame);
    // 0x097A (sent): the right button went down on a cell; the point is in control coordinates.
    void contextRequested(CSceneImageList *list, QPoint point);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool event(QEvent *event) override;

private:
    void recomputeGeometry();
    void newCache();
    void startScrolling(Scrolling direction, int cellsPerTick, int intervalMs);
    void tick();
    void scrolled();
    QScrollBar *alongBar() const;
    double frameCount() const;

    CVideoDescription *m_description = nullptr;
    CVideoManager *m_video = nullptr;
    QPointer<CSceneImageTree> m_tree;
    CThumbnailCellPainter m_cells;
    std::unique_ptr<CScrollBarPair> m_bars;
    QTimer m_timer;

    QSize m_cellSize{46, 23};
    QRect m_thumbnailRect{7, 3, 32, 17};
    bool m_topToBottom = true;
    float m_rate = 1.0f;
    int m_framesPerCell = 1;
    CStripGeometry m_geometry;
    CStripLayout m_layout;
    int m_position = 0;
    double m_chosenFrame = -1;
    Scrolling m_scrolling = Scrolling::Stopped;
    int m_cellsPerTick = 1;
    int m_intervalMs = 10;
};
