#include "uisupport/sysinfo.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QRect COVSysInfo::getWorkArea(const QWidget *near) {
    QScreen *screen = near ? near->screen() : nullptr;
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen ? screen->availableGeometry() : QRect();
}
