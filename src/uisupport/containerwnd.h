#pragma once

#include <QImage>
#include <QList>
#include <QWidget>

class COVHoverButton;

// A skinned, frameless window that shows one of its pages at a time inside the frame of the
// skin: the player's containers (pages paged with "<" and ">") and its channel window. The
// title piece drags the window and its borders size it, at the edges the owner allows.
class CContainerWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMinimumWidth = 135;
    static constexpr int kSizingBorder = 5;
    // The title-bar buttons.
    static constexpr int kNextPageId = 1075;
    static constexpr int kPreviousPageId = 1076;
    static constexpr int kCloseId = 1206;

    // paging: the window offers "<" and ">" (more than one page).
    CContainerWnd(int dialogId, bool paging, QWidget *owner);

    // Appends a page (the window takes it as a child); its index.
    int addPage(QWidget *page);
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    QWidget *page(int index) const;
    int currentPage() const { return m_current; }
    // Shows page index and hides the others: beyond the last is the first, below 0 the last.
    void showPage(int index);

    // The borders at which the user may size the window (all of them at first).
    void setSizableEdges(Qt::Edges edges) { m_sizableEdges = edges; }
    Qt::Edges sizableEdges() const { return m_sizableEdges; }
    void setCloseButtonShown(bool shown);
    COVHoverButton *titleButton(int id) const;

signals:
    void pageShown(int index);
    // The user took the window to move it or to size it at the given edges (the window system
    // does it): the owner's docking snaps it when it comes to rest.
    void userMoveStarted(Qt::Edges sizedEdges);
    // The user closed the window with its "x" (it is hidden afterwards).
    void closedByUser();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    COVHoverButton *addTitleButton(int id, const int (&looks)[4], const QString &tooltip);
    void layOutTitleButtons();
    Qt::Edges sizingEdgesAt(QPoint point) const;

    QList<QWidget *> m_pages;
    int m_current = 0;
    Qt::Edges m_sizableEdges = Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge;
    QList<COVHoverButton *> m_titleButtons;
    QImage m_frame;
};
