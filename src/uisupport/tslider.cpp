#include "uisupport/tslider.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "uisupport/skin.h"

COVTSlider::COVTSlider(QWidget *parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

int COVTSlider::loadBitmaps(int channel, int thumb, int fill) {
    if (channel == -1) {
        return 0;
    }
    const QPixmap channelPixmap = kivo::skin::keyedPixmap(channel);
    const QPixmap thumbPixmap = thumb == -1 ? QPixmap() : kivo::skin::keyedPixmap(thumb);
    const QPixmap fillPixmap = fill == -1 ? QPixmap() : kivo::skin::keyedPixmap(fill);
    if (channelPixmap.isNull() || (thumb != -1 && thumbPixmap.isNull()) ||
        (fill != -1 && fillPixmap.isNull())) {
        return 0;
    }
    m_channel = channelPixmap;
    m_thumb = thumbPixmap;
    m_fill = fillPixmap;
    updateGeometry();
    update();
    return 1;
}

void COVTSlider::setRange(double minimum, double maximum) {
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    m_position = std::clamp(m_position, m_minimum, m_maximum);
    update();
}

void COVTSlider::setPos(double position) {
    if (m_dragging) {
        return;
    }
    m_position = std::clamp(position, m_minimum, m_maximum);
    update();
}

void COVTSlider::setTooltip(const QString &text) {
    setToolTip(text);
}

QSize COVTSlider::sizeHint() const {
    return m_channel.isNull() ? QSize(100, 12) : m_channel.size();
}

int COVTSlider::thumbWidth() const {
    return m_thumb.isNull() ? 7 : m_thumb.width();
}

int COVTSlider::thumbLeft() const {
    const int travel = std::max(0, width() - thumbWidth());
    const double span = m_maximum - m_minimum;
    const double share = span > 0.0 ? (m_position - m_minimum) / span : 0.0;
    return static_cast<int>(share * travel + 0.5);
}

double COVTSlider::positionAt(int x) const {
    const int travel = width() - thumbWidth();
    if (travel <= 0) {
        return m_minimum;
    }
    const double share = std::clamp((x - thumbWidth() / 2) / double(travel), 0.0, 1.0);
    return m_minimum + share * (m_maximum - m_minimum);
}

void COVTSlider::moveByHand(int x) {
    m_position = positionAt(x);
    update();
}

void COVTSlider::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const int left = thumbLeft();
    if (!m_channel.isNull()) {
        painter.drawPixmap(rect(), m_channel);
    }
    if (!m_fill.isNull()) {
        // The filled part is the fill bitmap cut at the thumb's centre, stretched like the
        // channel.
        const int filled = left + thumbWidth() / 2;
        const double scale = m_fill.width() / double(std::max(1, width()));
        const QRect source(0, 0, static_cast<int>(filled * scale), m_fill.height());
        painter.drawPixmap(QRect(0, 0, filled, height()), m_fill, source);
    }
    if (!m_thumb.isNull() && isEnabled()) {
        painter.drawPixmap(
            QRect(left, (height() - m_thumb.height()) / 2, m_thumb.width(), m_thumb.height()),
            m_thumb);
    }
}

void COVTSlider::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    moveByHand(event->position().toPoint().x());
    if (m_tracking) {
        emit moved(this);
    }
}

void COVTSlider::mouseMoveEvent(QMouseEvent *event) {
    if (!m_dragging) {
        return;
    }
    moveByHand(event->position().toPoint().x());
    if (m_tracking) {
        emit moved(this);
    }
}

void COVTSlider::mouseReleaseEvent(QMouseEvent *event) {
    if (!m_dragging || event->button() != Qt::LeftButton) {
        return;
    }
    m_dragging = false;
    moveByHand(event->position().toPoint().x());
    emit moved(this);
}
