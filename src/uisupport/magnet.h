#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <Qt>

class QWidget;

// Snapping of registered top-level windows while the user moves or sizes them: an edge that
// comes within kSnapDistance pixels of the work area's edge, or of another registered window's
// edge, jumps onto it. The owner calls the checks with the proposed frame rectangle (screen
// coordinates) and uses the adjusted rectangle.
class COVMagnet {
public:
    static constexpr int kSnapDistance = 10;
    enum Mode { kSnapToWorkArea = 1, kSnapToWindows = 2 };

    void addDlg(QWidget *dialog, int mode = kSnapToWorkArea | kSnapToWindows);
    void removeDlg(const QWidget *dialog);
    int dialogCount() const;

    // Each returns 1 when the rectangle was changed, else 0. The dialog must be registered;
    // its mode decides whether it snaps to the work area, to the others, or both.
    int checkMovingForWorkarea(const QWidget *dialog, QRect &rect) const;
    int checkMovingForAllDlg(const QWidget *dialog, QRect &rect) const;
    // The edges being dragged are those in which the rectangle differs from the window's
    // current frame rectangle.
    int checkSizingForWorkarea(const QWidget *dialog, QRect &rect) const;
    int checkSizingForAllDlg(const QWidget *dialog, QRect &rect) const;
    // Where the window system moves or sizes a window itself, the snap comes when the window has
    // come to rest: moved (no edges) or sized at the given edges, it snaps as the checks above
    // would have. 1 when the window was moved, else 0.
    int snapAtRest(QWidget *dialog, Qt::Edges sizedEdges = {}) const;

    // The arithmetic: a moved rectangle keeps its size and snaps its position; a sized one moves
    // only the given edges.
    static QRect snapMoved(QRect rect, const QList<QRect> &windows, const QRect &workArea,
                           int distance);
    static QRect snapSized(QRect rect, Qt::Edges edges, const QList<QRect> &windows,
                           const QRect &workArea, int distance);
    static Qt::Edges changedEdges(const QRect &from, const QRect &to);

private:
    struct Entry {
        QPointer<QWidget> dialog;
        int mode;
    };

    const Entry *entryOf(const QWidget *dialog) const;
    // Registered, with the mode among its snapping modes.
    bool snaps(const QWidget *dialog, int mode) const;
    QList<QRect> otherWindows(const QWidget *dialog) const;

    QList<Entry> m_entries;
};
