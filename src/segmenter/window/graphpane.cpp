#include "segmenter/window/graphpane.h"

#include <QPainter>

namespace {

const QColor kAxisColour(0, 255, 0);
const QColor kValueColour(255, 250, 157);

}  // namespace

CGraphPane::CGraphPane(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CGraphPane::append(double value) {
    m_values.push_back(value);
    update();
}

void CGraphPane::clear() {
    m_values.clear();
    update();
}

void CGraphPane::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const int axis = height() / 2;
    painter.setPen(kAxisColour);
    painter.drawLine(0, axis, width(), axis);
    while (m_values.size() > static_cast<size_t>(width() + 1)) {
        m_values.pop_front();
    }
    painter.setPen(QPen(kValueColour, 0));
    QPoint previous(-5, axis);
    int x = 0;
    for (const double value : m_values) {
        const int offset = static_cast<int>(value * (axis - 2));
        if (offset != 0) {
            const QPoint point(x, axis - offset);
            painter.drawLine(previous, point);
            previous = point;
        }
        ++x;
    }
}
