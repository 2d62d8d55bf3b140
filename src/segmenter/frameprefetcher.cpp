#include "segmenter/frameprefetcher.h"

#include "imaging/dib.h"
#include "media/grabber/videomanager.h"
#include "segmenter/greyrowpairs.h"

CFramePrefetcher::CFramePrefetcher(std::string path, double first, double end, size_t depth)
    : m_path(std::move(path)), m_first(first), m_end(end), m_slots(depth > 0 ? depth : 1) {
    m_thread = std::thread([this] { walk(); });
}

CFramePrefetcher::~CFramePrefetcher() {
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

bool CFramePrefetcher::next(Frame &frame) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_count > 0 || m_done; });
    if (m_count == 0) {
        return false;
    }
    frame = std::move(m_slots[m_head]);
    m_head = (m_head + 1) % m_slots.size();
    --m_count;
    lock.unlock();
    m_changed.notify_all();
    return true;
}

bool CFramePrefetcher::stepsOver(const CVideoManager &video) {
    // Damage confined to one picture would make the pairs on both sides of it look like cuts:
    // the walk steps over it, pairing its neighbours instead. Where every picture is damaged
    // for a while, they are taken as they are, or the walk would see nothing at all.
    if (!video.lastPictureDamaged() || !video.picturesStandAlone()) {
        m_damagedInARow = 0;
        return false;
    }
    ++m_damagedInARow;
    return m_damagedInARow <= kMaxSteppedOver;
}

void CFramePrefetcher::walk() {
    // Opened on this thread, so the decoder's own threads share its scheduling class.
    CVideoManager video;
    if (video.open(m_path)) {
        CGreyRowPairs pairs;
        const CVideoManager::GreyRowObserver countRow = [&pairs](int row, const uint8_t *grey) {
            pairs.addRow(row, grey);
        };
        std::shared_ptr<const CDib> previous;
        for (double f = m_first; f < m_end; ++f) {
            Frame fetched;
            fetched.frame = f;
            pairs.begin(video.pictureWidth(), video.pictureHeight(),
                        topDownPlaneOf(previous.get()));
            fetched.picture = video.greyPictureAt(f, countRow);
            if (fetched.picture && stepsOver(video)) {
                fetched.picture.reset();
            }
            fetched.damaged = fetched.picture && video.lastPictureDamaged();
            if (fetched.picture) {
                fetched.paired = pairs.finish(fetched.differences, fetched.greyHistogram);
                previous = fetched.picture;
            }
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_count < m_slots.size() || m_cancelled; });
            if (m_cancelled) {
                break;
            }
            m_slots[(m_head + m_count) % m_slots.size()] = std::move(fetched);
            ++m_count;
            lock.unlock();
            m_changed.notify_all();
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_changed.notify_all();
}
