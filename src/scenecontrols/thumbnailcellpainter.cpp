#include "scenecontrols/thumbnailcellpainter.h"

#include <QPainter>

#include "imaging/dibpainter.h"
#include "uisupport/skin.h"

void CThumbnailCellPainter::setBitmaps(const QImage &normal, const QImage &highlighted,
                                       QRgb transparent) {
    m_normal = kivo::skin::transparentPixmap(normal, transparent);
    m_highlighted = kivo::skin::transparentPixmap(highlighted, transparent);
}

void CThumbnailCellPainter::newCache(CVideoManager *video, QSize thumbnail) {
    m_cache = std::make_unique<CThumbnailCache>(video, thumbnail.width(), thumbnail.height());
}

void CThumbnailCellPainter::fitCache(CVideoManager *video, QSize thumbnail) {
    if (m_cache && QSize(m_cache->width(), m_cache->height()) != thumbnail) {
        newCache(video, thumbnail);
    }
}

const CDib *CThumbnailCellPainter::thumbnail(double frame) {
    return m_cache ? m_cache->thumbnail(frame) : nullptr;
}

void CThumbnailCellPainter::draw(QPainter &painter, const QRect &cell, const QRect &thumbnailInCell,
                                 bool highlighted, double frame) {
    painter.drawPixmap(cell, highlighted ? m_highlighted : m_normal);
    if (frame < 0) {
        return;
    }
    if (const CDib *picture = thumbnail(frame)) {
        const QRect place = thumbnailInCell.translated(cell.topLeft());
        drawDib(painter, *picture, &place);
    }
}
