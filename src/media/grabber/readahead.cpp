#include "media/grabber/internal/readahead.h"

#include <algorithm>
#include <new>

namespace kivo::grabber {

CReadAhead::CReadAhead(Decode decode, size_t depth)
    : m_decode(std::move(decode)), m_depth(std::max<size_t>(depth, 1)) {}

CReadAhead::~CReadAhead() {
    {
        std::unique_lock lock(m_mutex);
        stopLocked(lock);
        m_ending = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CReadAhead::walk(int64_t first, int64_t last) {
    {
        std::unique_lock lock(m_mutex);
        stopLocked(lock);
        m_walking = true;
        m_next = first;
        m_last = last;
    }
    if (!m_thread.joinable()) {
        m_thread = std::thread([this] { serve(); });
    }
    m_changed.notify_all();
}

bool CReadAhead::take(int64_t frame, FramePtr &decoded) {
    std::unique_lock lock(m_mutex);
    const int64_t expected = m_ready.empty() ? m_next : m_ready.front().frame;
    if (!m_walking || frame != expected || frame > m_last) {
        stopLocked(lock);
        return false;
    }
    m_changed.wait(lock, [this] { return !m_ready.empty(); });
    decoded = std::move(m_ready.front().picture);
    m_ready.pop_front();
    lock.unlock();
    m_changed.notify_all();
    return true;
}

void CReadAhead::stop() {
    std::unique_lock lock(m_mutex);
    stopLocked(lock);
}

void CReadAhead::stopLocked(std::unique_lock<std::mutex> &lock) {
    m_walking = false;
    m_changed.wait(lock, [this] { return !m_decoding; });
    m_ready.clear();
}

void CReadAhead::serve() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] {
            return m_ending || (m_walking && m_next <= m_last && m_ready.size() < m_depth);
        });
        if (m_ending) {
            return;
        }
        const int64_t frame = m_next++;
        m_decoding = true;
        lock.unlock();
        FramePtr picture;
        try {
            picture = m_decode(frame);
        } catch (const std::bad_alloc &) {
            picture.reset();
        }
        lock.lock();
        m_decoding = false;
        if (m_walking) {
            m_ready.push_back({frame, std::move(picture)});
        }
        m_changed.notify_all();
    }
}

}  // namespace kivo::grabber
