#include "uisupport/hoverbutton.h"

#include <QMouseEvent>
#include <QPainter>

#include "uisupport/skin.h"

COVHoverButton::COVHoverButton(QWidget *parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
}

int COVHoverButton::loadBitmaps(int normal, int hover, int pressed, int disabled) {
    QPixmap looks[kLooks];
    const int ids[kLooks] = {normal, hover, pressed, disabled};
    for (int look = 0; look < kLooks; ++look) {
        if (look != kNormal && ids[look] == -1) {
            continue;
        }
        looks[look] = kivo::skin::keyedPixmap(ids[look]);
        if (looks[look].isNull()) {
            return 0;
        }
    }
    for (int look = 0; look < kLooks; ++look) {
        m_looks[look] = looks[look].isNull() ? looks[kNormal] : looks[look];
    }
    resize(m_looks[kNormal].size());
    updateGeometry();
    update();
    return 1;
}

void COVHoverButton::setTooltip(const QString &text) {
    setToolTip(text);
}

int COVHoverButton::setBtnCursor(int cursorId) {
    bool found = false;
    const QCursor shape = kivo::skin::cursor(cursorId, &found);
    if (!found) {
        return 0;
    }
    setCursor(shape);
    return 1;
}

QSize COVHoverButton::sizeHint() const {
    return m_looks[kNormal].isNull() ? QSize(16, 16) : m_looks[kNormal].size();
}

void COVHoverButton::paintEvent(QPaintEvent *) {
    Look look = kNormal;
    if (!isEnabled()) {
        look = kDisabled;
    } else if (isDown() || isChecked()) {
        look = kPressed;
    } else if (underMouse()) {
        look = kHover;
    }
    QPainter painter(this);
    if (!m_looks[look].isNull()) {
        painter.drawPixmap(rect(), m_looks[look]);
        return;
    }
    // Without bitmaps the button still shows its text, so a missing skin is visible.
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void COVHoverButton::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton && m_rateMenu && isEnabled()) {
        emit rateMenuRequested(this);
        event->accept();
        return;
    }
    QAbstractButton::mousePressEvent(event);
}
