#pragma once

#include <QPixmap>
#include <QRect>
#include <QSize>
#include <memory>

#include "scenecontrols/thumbnailcache.h"

class CVideoManager;
class QImage;
class QPainter;

// What a control draws in its cells: the normal or highlighted cell bitmap (a selected scene, the
// chosen frame) and the frame's thumbnail from a cache made at the thumbnail's size.
class CThumbnailCellPainter {
public:
    // The cell bitmaps, with the transparent colour left out.
    void setBitmaps(const QImage &normal, const QImage &highlighted, QRgb transparent);

    // A new, empty cache of the video's thumbnails (a null video makes none) at the size.
    void newCache(CVideoManager *video, QSize thumbnail);
    // A new cache only where one is kept at another size.
    void fitCache(CVideoManager *video, QSize thumbnail);
    void dropCache() { m_cache.reset(); }
    const CThumbnailCache *cache() const { return m_cache.get(); }
    // The cache look-up, grabbing the thumbnail when it is not kept; null without a cache.
    const CDib *thumbnail(double frame);

    // The cell bitmap over the cell, and the frame's thumbnail at its place inside the cell when
    // the cache has or can make it. A negative frame (none) leaves the cell empty.
    void draw(QPainter &painter, const QRect &cell, const QRect &thumbnailInCell, bool highlighted,
              double frame);

private:
    QPixmap m_normal;
    QPixmap m_highlighted;
    std::unique_ptr<CThumbnailCache> m_cache;
};
