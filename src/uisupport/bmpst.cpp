#include "uisupport/bmpst.h"

#include <QPainter>

#include "uisupport/skin.h"

COVBmpST::COVBmpST(QWidget *parent) : QWidget(parent) {}

int COVBmpST::loadBitmaps(int start, int fill, int end, int emblem) {
    QPixmap pieces[4];
    const int ids[4] = {start, fill, end, emblem};
    for (int i = 0; i < 4; ++i) {
        if (ids[i] == -1) {
            continue;
        }
        pieces[i] = kivo::skin::keyedPixmap(ids[i]);
        if (pieces[i].isNull()) {
            return 0;
        }
    }
    m_start = pieces[0];
    m_fill = pieces[1];
    m_end = pieces[2];
    m_emblem = pieces[3];
    update();
    return 1;
}

void COVBmpST::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const bool across = width() >= height();
    const int length = across ? width() : height();
    const int startLength = m_start.isNull() ? 0 : (across ? m_start.width() : m_start.height());
    const int endLength = m_end.isNull() ? 0 : (across ? m_end.width() : m_end.height());
    const auto piece = [&](int offset, int extent) {
        return across ? QRect(offset, 0, extent, height()) : QRect(0, offset, width(), extent);
    };
    if (!m_fill.isNull()) {
        painter.drawPixmap(piece(startLength, qMax(0, length - startLength - endLength)), m_fill);
    }
    if (!m_start.isNull()) {
        painter.drawPixmap(piece(0, startLength), m_start);
    }
    if (!m_end.isNull()) {
        painter.drawPixmap(piece(length - endLength, endLength), m_end);
    }
    if (!m_emblem.isNull()) {
        QRect place(QPoint(0, 0), m_emblem.size());
        place.moveCenter(rect().center());
        painter.drawPixmap(place, m_emblem);
    }
}
