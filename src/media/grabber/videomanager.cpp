#include "media/grabber/videomanager.h"

#include <algorithm>
#include <cmath>

#include "media/grabber/internal/framedecoder.h"
#include "media/grabber/internal/pictureconverter.h"
#include "media/grabber/internal/readahead.h"

using kivo::grabber::CFrameClock;
using kivo::grabber::CFrameDecoder;
using kivo::grabber::CPictureConverter;
using kivo::grabber::CReadAhead;
using kivo::grabber::FramePtr;

namespace {

// Decoded frames a walk keeps ready: 8, fewer of pictures above 1080p (2 of 4K).
constexpr size_t kReadAheadBytes = 8 * 1920 * 1080 * 3;
constexpr size_t kMaxReadAhead = 8;

// A reference of its own to the decoded frame, which the decoder's next step cannot undo.
FramePtr decodedCopy(CFrameDecoder &decoder, int64_t frame) {
    const AVFrame *decoded = decoder.frameAt(frame);
    return FramePtr(decoded != nullptr ? av_frame_clone(decoded) : nullptr);
}

}  // namespace

CVideoManager::CVideoManager() = default;

CVideoManager::~CVideoManager() {
    close();
}

int CVideoManager::open(const std::string &path) {
    close();
    auto decoder = std::make_unique<CFrameDecoder>();
    if (!decoder->open(path)) {
        return 0;
    }
    m_path = path;
    m_frameRate = av_q2d(decoder->frameRate());
    m_clock = CFrameClock(m_frameRate);
    m_duration = static_cast<double>(decoder->frameCount());
    m_earliest = 0;
    m_latest = m_duration;
    m_width = decoder->width();
    m_height = decoder->height();
    m_picturesStandAlone = decoder->picturesStandAlone();
    m_converter = std::make_unique<CPictureConverter>(m_width, m_height);
    m_decoder = std::move(decoder);
    const size_t frameBytes = static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 3;
    const size_t depth =
        std::clamp<size_t>(kReadAheadBytes / std::max<size_t>(frameBytes, 1), 1, kMaxReadAhead);
    m_decoder->keepMoreRecent(depth);
    m_readAhead = std::make_unique<CReadAhead>(
        [this](int64_t frame) { return decodedCopy(*m_decoder, frame); }, depth);
    return 1;
}

void CVideoManager::close() {
    m_readAhead.reset();
    m_lastFrame = -1;
    m_lastDamaged = false;
    m_damagedCount = 0;
    m_picturesStandAlone = false;
    m_converter.reset();
    m_decoder.reset();
    m_path.clear();
    m_duration = m_earliest = m_latest = m_frameRate = 0;
    m_clock = CFrameClock();
    m_width = m_height = 0;
}

bool CVideoManager::isOpen() const {
    return m_decoder != nullptr;
}

bool CVideoManager::inRange(double frame) const {
    // The frame equal to the duration is still attempted: the last picture stays on screen there.
    return isOpen() && frame >= 0 && frame <= m_duration;
}

std::unique_ptr<CDib> CVideoManager::pictureAt(double frame) {
    return fetch(frame, false, nullptr);
}

std::unique_ptr<CDib> CVideoManager::greyPictureAt(double frame) {
    return fetch(frame, true, nullptr);
}

std::unique_ptr<CDib> CVideoManager::greyPictureAt(double frame, const GreyRowObserver &observer) {
    return fetch(frame, true, observer ? &observer : nullptr);
}

std::unique_ptr<CDib> CVideoManager::fetch(double frame, bool grey,
                                           const GreyRowObserver *observer) {
    m_lastDamaged = false;
    if (!inRange(frame)) {
        return nullptr;
    }
    const auto wanted = static_cast<int64_t>(frame);
    const auto last = static_cast<int64_t>(m_duration);
    FramePtr decoded;
    if (!m_readAhead->take(wanted, decoded)) {
        decoded = decodedCopy(*m_decoder, wanted);
        if (wanted == m_lastFrame + 1 && wanted < last) {
            m_readAhead->walk(wanted + 1, last);
        }
    }
    m_lastFrame = wanted;
    if (!decoded) {
        return nullptr;
    }
    m_lastDamaged = (decoded->flags & AV_FRAME_FLAG_CORRUPT) != 0;
    m_damagedCount += m_lastDamaged ? 1 : 0;
    return grey ? m_converter->greyPicture(*decoded, observer)
                : m_converter->colourPicture(*decoded);
}

double CVideoManager::frameToTime(double frame) const {
    return isOpen() ? m_clock.frameToTime(frame) : -1;
}

double CVideoManager::timeToFrame(double time) const {
    return isOpen() ? m_clock.timeToFrame(time) : -1;
}

int64_t CVideoManager::avgTimePerFrame() const {
    return m_clock.avgTimePerFrame();
}

int64_t CVideoManager::seekCount() const {
    return isOpen() ? m_decoder->seekCount() : 0;
}
