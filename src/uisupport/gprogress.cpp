#include "uisupport/gprogress.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

COVGProgress::COVGProgress(QWidget *parent) : QWidget(parent) {}

void COVGProgress::setRange(int lower, int upper) {
    m_lower = lower;
    m_upper = std::max(lower, upper);
    m_position = std::clamp(m_position, m_lower, m_upper);
    update();
}

int COVGProgress::setPos(int position) {
    const int previous = m_position;
    m_position = std::clamp(position, m_lower, m_upper);
    if (m_position != previous) {
        update();
    }
    return previous;
}

void COVGProgress::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), QColor(0x0A, 0x0B, 0x0D));
    painter.setPen(QColor(0x3B, 0x41, 0x4B));
    painter.drawRect(frame);
    const int span = m_upper - m_lower;
    if (span <= 0 || m_position <= m_lower) {
        return;
    }
    const QRect inside = frame.adjusted(1, 1, 0, 0);
    const int filled =
        static_cast<int>(static_cast<long long>(inside.width()) * (m_position - m_lower) / span);
    QLinearGradient gradient(inside.topLeft(), inside.bottomLeft());
    gradient.setColorAt(0.0, QColor(0xFF, 0xC8, 0x70));
    gradient.setColorAt(0.5, QColor(0xF2, 0xA3, 0x3A));
    gradient.setColorAt(1.0, QColor(0x8A, 0x5A, 0x14));
    painter.fillRect(QRect(inside.left(), inside.top(), filled, inside.height()), gradient);
}
