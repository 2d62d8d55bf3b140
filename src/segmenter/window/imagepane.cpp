#include "segmenter/window/imagepane.h"

#include <QPainter>

#include "imaging/dibpainter.h"

CImagePane::CImagePane(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CImagePane::setPicture(std::unique_ptr<CDib> picture) {
    m_picture = std::move(picture);
    update();
}

void CImagePane::clear() {
    setPicture(nullptr);
}

QRect CImagePane::placement(QSize picture, QSize pane) {
    QRect rect(QPoint(0, 0), pane);
    if (picture.width() < pane.width()) {
        rect.setLeft((pane.width() - picture.width()) / 2);
        rect.setWidth(picture.width());
    }
    if (picture.height() < pane.height()) {
        rect.setTop((pane.height() - picture.height()) / 2);
        rect.setHeight(picture.height());
    }
    return rect;
}

void CImagePane::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_picture && !m_picture->isEmpty()) {
        const QRect target = placement(QSize(m_picture->width(), m_picture->height()), size());
        drawDib(painter, *m_picture, &target);
    }
}
