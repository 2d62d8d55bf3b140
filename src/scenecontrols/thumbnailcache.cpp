#include "scenecontrols/thumbnailcache.h"

#include "media/grabber/videomanager.h"

CThumbnailCache::CThumbnailCache(CVideoManager *video, int width, int height, size_t capacity)
    : m_video(video), m_width(width), m_height(height), m_capacity(capacity) {}

const CDib *CThumbnailCache::find(double frame) const {
    for (const Entry &entry : m_entries) {
        if (entry.frame == frame) {
            return entry.picture.get();
        }
    }
    return nullptr;
}

const CDib *CThumbnailCache::thumbnail(double frame) {
    if (const CDib *kept = find(frame)) {
        return kept;
    }
    if (!m_video || m_width <= 0 || m_height <= 0 || m_capacity == 0) {
        return nullptr;
    }
    const std::unique_ptr<CDib> full = m_video->pictureAt(frame);
    if (!full) {
        return nullptr;
    }
    std::unique_ptr<CDib> small = full->resized(m_width, m_height);
    if (!small) {
        return nullptr;
    }
    m_entries.push_back({frame, std::move(small)});
    while (m_entries.size() > m_capacity) {
        m_entries.pop_front();
    }
    return m_entries.back().picture.get();
}
