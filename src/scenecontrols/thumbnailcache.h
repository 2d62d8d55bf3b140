#pragma once

#include <cstddef>
#include <deque>
#include <memory>

#include "imaging/dib.h"

class CVideoManager;

// Thumbnails by frame number, made on demand from the video and kept in the order they were
// made; when more than the capacity are held, the oldest go first.
class CThumbnailCache {
public:
    static constexpr size_t kCapacity = 500;

    // The video is borrowed and may be null (then nothing can be made). Thumbnails are made at
    // width x height.
    CThumbnailCache(CVideoManager *video, int width, int height, size_t capacity = kCapacity);

    // The kept thumbnail of the frame, or a new one grabbed from the video and scaled; null when
    // the frame cannot be grabbed (nothing is kept then, so the next call tries again). The
    // pointer stays valid until a later call pushes the entry out or the cache is cleared.
    const CDib *thumbnail(double frame);
    // The kept thumbnail, without grabbing.
    const CDib *find(double frame) const;

    size_t size() const { return m_entries.size(); }
    size_t capacity() const { return m_capacity; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    void clear() { m_entries.clear(); }

private:
    struct Entry {
        double frame;
        std::unique_ptr<CDib> picture;
    };

    CVideoManager *m_video;
    int m_width;
    int m_height;
    size_t m_capacity;
    std::deque<Entry> m_entries;
};
