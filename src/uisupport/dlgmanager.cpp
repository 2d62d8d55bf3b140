#include "uisupport/dlgmanager.h"

#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "uisupport/registry.h"
#include "uisupport/sysinfo.h"

QRect COVDlgManager::frameRect(const QWidget *window) {
    return window->frameGeometry();
}

void COVDlgManager::setFrameRect(QWidget *window, const QRect &frame) {
    const QSize margins = window->frameGeometry().size() - window->size();
    window->move(frame.topLeft());
    window->resize(frame.size() - margins);
}

QRect COVDlgManager::centred(QSize size, const QRect &area) {
    QRect rect(QPoint(0, 0), size);
    rect.moveCenter(area.center());
    return rect;
}

QRect COVDlgManager::keptInside(QRect rect, const QRect &area) {
    if (area.isEmpty()) {
        return rect;
    }
    if (rect.right() > area.right()) {
        rect.moveRight(area.right());
    }
    if (rect.bottom() > area.bottom()) {
        rect.moveBottom(area.bottom());
    }
    if (rect.left() < area.left()) {
        rect.moveLeft(area.left());
    }
    if (rect.top() < area.top()) {
        rect.moveTop(area.top());
    }
    return rect;
}

QRect COVDlgManager::placed(const QRect &window, const QRect &reference, int mode,
                            const QRect &workArea) {
    const int side = (mode >> 4) & 0x0F;
    const int alignment = mode & 0x0F;
    QRect rect = window;
    const bool horizontalSide = side == kLeftOf || side == kRightOf;
    if (alignment & kMatchExtent) {
        if (horizontalSide) {
            rect.setHeight(reference.height());
        } else {
            rect.setWidth(reference.width());
        }
    }
    switch (side) {
        case kLeftOf:
            rect.moveRight(reference.left() - 1);
            break;
        case kRightOf:
            rect.moveLeft(reference.right() + 1);
            break;
        case kAbove:
            rect.moveBottom(reference.top() - 1);
            break;
        default:
            rect.moveTop(reference.bottom() + 1);
            break;
    }
    if (horizontalSide) {
        rect.moveTop((alignment & kCentreAcross) && !(alignment & kMatchExtent)
                         ? reference.center().y() - rect.height() / 2
                         : reference.top());
    } else {
        rect.moveLeft((alignment & kCentreAcross) && !(alignment & kMatchExtent)
                          ? reference.center().x() - rect.width() / 2
                          : reference.left());
    }
    return (alignment & kKeepInWorkArea) ? keptInside(rect, workArea) : rect;
}

int COVDlgManager::hitCode(QSize size, QPoint point, int border) {
    if (point.x() < 0 || point.y() < 0 || point.x() >= size.width() || point.y() >= size.height()) {
        return kHitNone;
    }
    const bool left = point.x() < border;
    const bool right = point.x() >= size.width() - border;
    const bool top = point.y() < border;
    const bool bottom = point.y() >= size.height() - border;
    if (top) {
        return left ? kHitTopLeft : right ? kHitTopRight : kHitTop;
    }
    if (bottom) {
        return left ? kHitBottomLeft : right ? kHitBottomRight : kHitBottom;
    }
    return left ? kHitLeft : right ? kHitRight : kHitNone;
}

Qt::Edges COVDlgManager::edgesOf(int hitCode) {
    switch (hitCode) {
        case kHitLeft:
            return Qt::LeftEdge;
        case kHitRight:
            return Qt::RightEdge;
        case kHitTop:
            return Qt::TopEdge;
        case kHitBottom:
            return Qt::BottomEdge;
        case kHitTopLeft:
            return Qt::TopEdge | Qt::LeftEdge;
        case kHitTopRight:
            return Qt::TopEdge | Qt::RightEdge;
        case kHitBottomLeft:
            return Qt::BottomEdge | Qt::LeftEdge;
        case kHitBottomRight:
            return Qt::BottomEdge | Qt::RightEdge;
        default:
            return {};
    }
}

void COVDlgManager::centerDlg(QWidget *dialog, int width, int height) {
    if (!dialog) {
        return;
    }
    QRect frame = frameRect(dialog);
    if (width > 0) {
        frame.setWidth(width);
    }
    if (height > 0) {
        frame.setHeight(height);
    }
    setFrameRect(dialog, centred(frame.size(), COVSysInfo::getWorkArea(dialog)));
}

void COVDlgManager::centerDlg2(QWidget *dialog, int dx, int dy) {
    if (!dialog) {
        return;
    }
    const QRect area = COVSysInfo::getWorkArea(dialog);
    const QRect rect = centred(frameRect(dialog).size(), area).translated(dx, dy);
    setFrameRect(dialog, keptInside(rect, area));
}

void COVDlgManager::centerDlg3(QWidget *dialog, const QWidget *over) {
    if (!dialog) {
        return;
    }
    const QRect area = over ? frameRect(over) : COVSysInfo::getWorkArea(dialog);
    setFrameRect(dialog, centred(frameRect(dialog).size(), area));
}

void COVDlgManager::setDlgPos(QWidget *dialog, const QWidget *reference, int mode) {
    if (!dialog || !reference) {
        return;
    }
    setFrameRect(dialog, placed(frameRect(dialog), frameRect(reference), mode,
                                COVSysInfo::getWorkArea(reference)));
}

bool COVDlgManager::intersectDlg(const QWidget *first, const QWidget *second) {
    return first && second && frameRect(first).intersects(frameRect(second));
}

int COVDlgManager::hitTest(const QWidget *dialog, QPoint point, int border) {
    return dialog ? hitCode(dialog->size(), point, border) : kHitNone;
}

bool COVDlgManager::startSizing(QWidget *dialog, int code) {
    const Qt::Edges edges = edgesOf(code);
    if (!dialog || !edges) {
        return false;
    }
    QWindow *handle = dialog->window()->windowHandle();
    return handle && handle->startSystemResize(edges);
}

int COVDlgManager::setDlgPosInfo(COVRegistry &registry, const QString &name,
                                 const QWidget *window) {
    if (!window) {
        return 0;
    }
    CWindowPlacement placement;
    const bool restoredElsewhere = window->isMaximized() || window->isMinimized();
    placement.showCmd = window->isMaximized() ? 3 : window->isMinimized() ? 2 : 1;
    placement.normalPosition =
        restoredElsewhere ? window->normalGeometry() : QRect(window->pos(), window->size());
    return registry.setDlgPosInfo(name, placement);
}
