#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

class COVRegistry;
class QString;
class QWidget;

// Placement of top-level windows. Rectangles are frame rectangles in screen coordinates; the
// pure functions do the arithmetic and the widget functions apply it.
class COVDlgManager {
public:
    // Non-client hit codes, with the Windows numbers.
    enum HitCode {
        kHitNone = 0,
        kHitLeft = 10,
        kHitRight = 11,
        kHitTop = 12,
        kHitTopLeft = 13,
        kHitTopRight = 14,
        kHitBottom = 15,
        kHitBottomLeft = 16,
        kHitBottomRight = 17,
    };

    // setDlgPos() modes: the side of the reference window in the high nibble, how to line up
    // along that side in the low nibble's bits. 0x31 puts a window above the reference and
    // centred; 0x14 and 0x24 put it to the left or right, as tall as the reference; 0x03 puts
    // it below, centred, kept on the work area.
    enum Side { kBelow = 0, kLeftOf = 1, kRightOf = 2, kAbove = 3 };
    enum Alignment { kCentreAcross = 1, kKeepInWorkArea = 2, kMatchExtent = 4 };

    // Resizes the window to width x height (a value of 0 or less keeps that dimension) and
    // centres it on the work area.
    static void centerDlg(QWidget *dialog, int width, int height);
    // Centres the window on the work area, then moves it by (dx, dy), kept on the work area.
    static void centerDlg2(QWidget *dialog, int dx, int dy);
    // Centres the window over another window (over the work area without one).
    static void centerDlg3(QWidget *dialog, const QWidget *over);
    // Places the window beside the reference window by the mode above.
    static void setDlgPos(QWidget *dialog, const QWidget *reference, int mode);
    // True when the two windows overlap.
    static bool intersectDlg(const QWidget *first, const QWidget *second);
    // The hit code of a point in the window's own coordinates for a frameless window that is
    // sized at a border of the given width; kHitNone inside (then default processing).
    static int hitTest(const QWidget *dialog, QPoint point, int border);
    // Hands a border hit to the window system as an interactive resize. False for kHitNone or
    // when the platform cannot do it.
    static bool startSizing(QWidget *dialog, int hitCode);
    // Stores in the settings, under the name, where the window stands now and how it is shown
    // (its normal rectangle when maximised or minimised). 1 when stored, 0 without a window or
    // a writable store.
    static int setDlgPosInfo(COVRegistry &registry, const QString &name, const QWidget *window);

    static QRect centred(QSize size, const QRect &area);
    static QRect keptInside(QRect rect, const QRect &area);
    static QRect placed(const QRect &window, const QRect &reference, int mode,
                        const QRect &workArea);
    static int hitCode(QSize size, QPoint point, int border);
    static Qt::Edges edgesOf(int hitCode);

    // The frame rectangle of a window and the way back from a frame rectangle.
    static QRect frameRect(const QWidget *window);
    static void setFrameRect(QWidget *window, const QRect &frame);
};
