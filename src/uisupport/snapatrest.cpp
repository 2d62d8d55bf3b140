#include "uisupport/snapatrest.h"

#include <QEvent>
#include <QWidget>

#include "uisupport/magnet.h"

COVSnapAtRest::COVSnapAtRest(const COVMagnet &magnet, QObject *parent)
    : QObject(parent), m_magnet(magnet) {
    m_rest.setSingleShot(true);
    m_rest.setInterval(kRestMs);
    connect(&m_rest, &QTimer::timeout, this, &COVSnapAtRest::snap);
}

void COVSnapAtRest::follow(QWidget *window, Qt::Edges sizedEdges) {
    if (m_window && m_window != window) {
        snap();
    }
    if (!window) {
        return;
    }
    m_window = window;
    m_edges = sizedEdges;
    window->installEventFilter(this);
    m_rest.start();
}

bool COVSnapAtRest::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_window && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        m_rest.start();
    }
    return QObject::eventFilter(watched, event);
}

void COVSnapAtRest::snap() {
    m_rest.stop();
    QWidget *window = m_window;
    m_window = nullptr;
    if (window) {
        window->removeEventFilter(this);
        m_magnet.snapAtRest(window, m_edges);
    }
}
