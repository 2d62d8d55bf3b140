#pragma once

#include <QRect>

class QWidget;

// Facts about the desktop the windows live on.
class COVSysInfo {
public:
    // The usable part of the screen (panels and docks excluded): the screen the window is on,
    // or the primary screen without one. Empty when there is no screen at all.
    static QRect getWorkArea(const QWidget *near = nullptr);
};
