#include "uisupport/magnet.h"

#include <QWidget>
#include <cstdlib>

#include "uisupport/dlgmanager.h"
#include "uisupport/sysinfo.h"

namespace {

// The candidate nearest to value, when it lies within distance.
class CNearest {
public:
    CNearest(int value, int distance) : m_value(value), m_distance(distance) {}

    void offer(int candidate) {
        const int gap = std::abs(candidate - m_value);
        if (gap <= m_distance && gap < m_bestGap) {
            m_best = candidate;
            m_bestGap = gap;
        }
    }
    int result() const { return m_best; }

private:
    int m_value;
    int m_distance;
    int m_best = m_value;
    int m_bestGap = m_distance + 1;
};

bool spansMeet(int begin1, int end1, int begin2, int end2, int distance) {
    return begin1 <= end2 + distance && end1 >= begin2 - distance;
}

// Puts the snapped rectangle in place: 1 when that changed it, else 0.
int takeSnapped(QRect &rect, const QRect &snapped) {
    const bool changed = snapped != rect;
    rect = snapped;
    return changed ? 1 : 0;
}

}  // namespace

void COVMagnet::addDlg(QWidget *dialog, int mode) {
    if (!dialog || entryOf(dialog)) {
        return;
    }
    m_entries.append({dialog, mode});
}

void COVMagnet::removeDlg(const QWidget *dialog) {
    m_entries.removeIf([dialog](const Entry &entry) { return entry.dialog == dialog; });
}

int COVMagnet::dialogCount() const {
    int count = 0;
    for (const Entry &entry : m_entries) {
        count += entry.dialog ? 1 : 0;
    }
    return count;
}

const COVMagnet::Entry *COVMagnet::entryOf(const QWidget *dialog) const {
    for (const Entry &entry : m_entries) {
        if (entry.dialog && entry.dialog == dialog) {
            return &entry;
        }
    }
    return nullptr;
}

QList<QRect> COVMagnet::otherWindows(const QWidget *dialog) const {
    QList<QRect> rects;
    for (const Entry &entry : m_entries) {
        if (entry.dialog && entry.dialog != dialog && entry.dialog->isVisible()) {
            rects.append(COVDlgManager::frameRect(entry.dialog));
        }
    }
    return rects;
}

QRect COVMagnet::snapMoved(QRect rect, const QList<QRect> &windows, const QRect &workArea,
                           int distance) {
    CNearest left(rect.left(), distance);
    CNearest top(rect.top(), distance);
    if (workArea.isValid()) {
        left.offer(workArea.left());
        left.offer(workArea.right() - rect.width() + 1);
        top.offer(workArea.top());
        top.offer(workArea.bottom() - rect.height() + 1);
    }
    for (const QRect &other : windows) {
        const bool besideVertically =
            spansMeet(rect.top(), rect.bottom(), other.top(), other.bottom(), distance);
        const bool besideHorizontally =
            spansMeet(rect.left(), rect.right(), other.left(), other.right(), distance);
        const bool touchesVertically = std::abs(rect.top() - other.bottom() - 1) <= distance ||
                                       std::abs(rect.bottom() + 1 - other.top()) <= distance;
        const bool touchesHorizontally = std::abs(rect.left() - other.right() - 1) <= distance ||
                                         std::abs(rect.right() + 1 - other.left()) <= distance;
        if (besideVertically) {
            left.offer(other.right() + 1);
            left.offer(other.left() - rect.width());
        }
        if (besideHorizontally && touchesVertically) {
            left.offer(other.left());
            left.offer(other.right() - rect.width() + 1);
        }
        if (besideHorizontally) {
            top.offer(other.bottom() + 1);
            top.offer(other.top() - rect.height());
        }
        if (besideVertically && touchesHorizontally) {
            top.offer(other.top());
            top.offer(other.bottom() - rect.height() + 1);
        }
    }
    rect.moveTo(left.result(), top.result());
    return rect;
}

QRect COVMagnet::snapSized(QRect rect, Qt::Edges edges, const QList<QRect> &windows,
                           const QRect &workArea, int distance) {
    CNearest left(rect.left(), distance);
    CNearest right(rect.right(), distance);
    CNearest top(rect.top(), distance);
    CNearest bottom(rect.bottom(), distance);
    if (workArea.isValid()) {
        left.offer(workArea.left());
        right.offer(workArea.right());
        top.offer(workArea.top());
        bottom.offer(workArea.bottom());
    }
    for (const QRect &other : windows) {
        if (spansMeet(rect.top(), rect.bottom(), other.top(), other.bottom(), distance)) {
            left.offer(other.right() + 1);
            left.offer(other.left());
            right.offer(other.left() - 1);
            right.offer(other.right());
        }
        if (spansMeet(rect.left(), rect.right(), other.left(), other.right(), distance)) {
            top.offer(other.bottom() + 1);
            top.offer(other.top());
            bottom.offer(other.top() - 1);
            bottom.offer(other.bottom());
        }
    }
    const QRect original = rect;
    if (edges & Qt::LeftEdge) {
        rect.setLeft(qMin(left.result(), original.right()));
    }
    if (edges & Qt::RightEdge) {
        rect.setRight(qMax(right.result(), original.left()));
    }
    if (edges & Qt::TopEdge) {
        rect.setTop(qMin(top.result(), original.bottom()));
    }
    if (edges & Qt::BottomEdge) {
        rect.setBottom(qMax(bottom.result(), original.top()));
    }
    return rect;
}

Qt::Edges COVMagnet::changedEdges(const QRect &from, const QRect &to) {
    Qt::Edges edges;
    if (from.left() != to.left()) {
        edges |= Qt::LeftEdge;
    }
    if (from.right() != to.right()) {
        edges |= Qt::RightEdge;
    }
    if (from.top() != to.top()) {
        edges |= Qt::TopEdge;
    }
    if (from.bottom() != to.bottom()) {
        edges |= Qt::BottomEdge;
    }
    return edges;
}

bool COVMagnet::snaps(const QWidget *dialog, int mode) const {
    const Entry *entry = entryOf(dialog);
    return entry && (entry->mode & mode);
}

int COVMagnet::checkMovingForWorkarea(const QWidget *dialog, QRect &rect) const {
    if (!snaps(dialog, kSnapToWorkArea)) {
        return 0;
    }
    const QRect snapped = snapMoved(rect, {}, COVSysInfo::getWorkArea(dialog), kSnapDistance);
    return takeSnapped(rect, snapped);
}

int COVMagnet::checkMovingForAllDlg(const QWidget *dialog, QRect &rect) const {
    if (!snaps(dialog, kSnapToWindows)) {
        return 0;
    }
    const QRect snapped = snapMoved(rect, otherWindows(dialog), QRect(), kSnapDistance);
    return takeSnapped(rect, snapped);
}

int COVMagnet::checkSizingForWorkarea(const QWidget *dialog, QRect &rect) const {
    if (!snaps(dialog, kSnapToWorkArea)) {
        return 0;
    }
    const Qt::Edges edges = changedEdges(COVDlgManager::frameRect(dialog), rect);
    const QRect snapped =
        snapSized(rect, edges, {}, COVSysInfo::getWorkArea(dialog), kSnapDistance);
    return takeSnapped(rect, snapped);
}

int COVMagnet::checkSizingForAllDlg(const QWidget *dialog, QRect &rect) const {
    if (!snaps(dialog, kSnapToWindows)) {
        return 0;
    }
    const Qt::Edges edges = changedEdges(COVDlgManager::frameRect(dialog), rect);
    const QRect snapped = snapSized(rect, edges, otherWindows(dialog), QRect(), kSnapDistance);
    return takeSnapped(rect, snapped);
}

int COVMagnet::snapAtRest(QWidget *dialog, Qt::Edges sizedEdges) const {
    if (!entryOf(dialog)) {
        return 0;
    }
    const QRect before = COVDlgManager::frameRect(dialog);
    QRect rect = before;
    if (sizedEdges) {
        if (snaps(dialog, kSnapToWorkArea)) {
            rect = snapSized(rect, sizedEdges, {}, COVSysInfo::getWorkArea(dialog), kSnapDistance);
        }
        if (snaps(dialog, kSnapToWindows)) {
            rect = snapSized(rect, sizedEdges, otherWindows(dialog), QRect(), kSnapDistance);
        }
    } else {
        checkMovingForWorkarea(dialog, rect);
        checkMovingForAllDlg(dialog, rect);
    }
    if (rect == before) {
        return 0;
    }
    COVDlgManager::setFrameRect(dialog, rect);
    return 1;
}
