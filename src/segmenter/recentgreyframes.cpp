#include "segmenter/recentgreyframes.h"

#include "imaging/dib.h"
#include "media/grabber/videomanager.h"

CRecentGreyFrames::CRecentGreyFrames(std::string path, size_t capacity)
    : m_path(std::move(path)), m_ring(capacity > 0 ? capacity : 1) {}

CRecentGreyFrames::~CRecentGreyFrames() = default;

void CRecentGreyFrames::push(double frame, std::shared_ptr<const CDib> picture) {
    m_refetched.clear();
    m_newest = m_count == 0 ? 0 : (m_newest + 1) % m_ring.size();
    Entry &slot = m_ring[m_newest];
    if (slot.picture && slot.frame == m_holdFrame) {
        m_held = std::move(slot);
    }
    slot = Entry{frame, std::move(picture)};
    if (m_count < m_ring.size()) {
        ++m_count;
    }
}

const CDib *CRecentGreyFrames::latest() const {
    return m_count > 0 ? m_ring[m_newest].picture.get() : nullptr;
}

const CDib *CRecentGreyFrames::greyFrame(double frame) {
    for (size_t i = 0; i < m_count; ++i) {
        const Entry &entry = m_ring[(m_newest + m_ring.size() - i) % m_ring.size()];
        if (entry.frame == frame) {
            return entry.picture.get();
        }
    }
    if (m_held.picture && m_held.frame == frame) {
        return m_held.picture.get();
    }
    CVideoManager *video = reader();
    if (!video) {
        return nullptr;
    }
    std::unique_ptr<CDib> picture = video->greyPictureAt(frame);
    ++m_refetchCount;
    if (!picture) {
        return nullptr;
    }
    m_refetched.push_back(std::move(picture));
    return m_refetched.back().get();
}

void CRecentGreyFrames::hold(double frame) {
    m_holdFrame = frame;
    if (m_held.frame != frame) {
        m_held = Entry{};
    }
}

std::unique_ptr<CDib> CRecentGreyFrames::colourPicture(double frame) {
    CVideoManager *video = reader();
    if (!video) {
        return nullptr;
    }
    ++m_refetchCount;
    return video->pictureAt(frame);
}

CVideoManager *CRecentGreyFrames::reader() {
    if (!m_reader && !m_readerFailed) {
        auto video = std::make_unique<CVideoManager>();
        if (video->open(m_path)) {
            m_reader = std::move(video);
        } else {
            m_readerFailed = true;
        }
    }
    return m_reader.get();
}
