#include "scenecontrols/scrollbarpair.h"

#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>

#include "scenecontrols/scenetreegeometry.h"

namespace {
constexpr int kThickness = CSceneTreeGeometry::kScrollBarSize;
}

CScrollBarPair::CScrollBarPair(QWidget *owner, const char *verticalName, const char *horizontalName)
    : m_owner(owner),
      m_vertical(new QScrollBar(Qt::Vertical, owner)),
      m_horizontal(new QScrollBar(Qt::Horizontal, owner)) {
    m_vertical->setObjectName(QString::fromLatin1(verticalName));
    m_horizontal->setObjectName(QString::fromLatin1(horizontalName));
    m_vertical->hide();
    m_horizontal->hide();
    m_vertical->setSingleStep(1);
    m_horizontal->setSingleStep(1);
}

void CScrollBarPair::set(QScrollBar *bar, const Bar &state) {
    const QSignalBlocker quiet(bar);
    bar->setRange(0, state.shown ? state.maximum : 0);
    bar->setPageStep(state.pageStep);
    bar->setValue(state.shown ? state.position : 0);
    bar->setVisible(state.shown);
}

void CScrollBarPair::apply(const Bar &horizontal, const Bar &vertical) {
    set(m_horizontal, horizontal);
    set(m_vertical, vertical);
    place();
}

void CScrollBarPair::hideBoth() {
    apply({}, {});
}

void CScrollBarPair::place() {
    const int width = m_owner->width();
    const int height = m_owner->height();
    const bool both = !m_vertical->isHidden() && !m_horizontal->isHidden();
    const int cornerSpace = both ? kThickness : 0;
    m_vertical->setGeometry(width - kThickness, 0, kThickness, height - cornerSpace);
    m_horizontal->setGeometry(0, height - kThickness, width - cornerSpace, kThickness);
}

QRect CScrollBarPair::corner() const {
    if (m_vertical->isHidden() || m_horizontal->isHidden()) {
        return {};
    }
    return {m_owner->width() - kThickness, m_owner->height() - kThickness, kThickness, kThickness};
}

void CScrollBarPair::fillCorner(QPainter &painter) const {
    const QRect free = corner();
    if (!free.isEmpty()) {
        painter.fillRect(free, Qt::black);
    }
}
