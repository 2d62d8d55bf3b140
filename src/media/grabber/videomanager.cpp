#include "media/grabber/videomanager.h"

#include <cmath>

#include "media/grabber/framedecoder.h"
#include "media/grabber/pictureconverter.h"

using kivo::grabber::CFrameClock;
using kivo::grabber::CFrameDecoder;
using kivo::grabber::CPictureConverter;

CVideoManager::CVideoManager() = default;

CVideoManager::~CVideoManager() = default;

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
    m_converter = std::make_unique<CPictureConverter>(m_width, m_height);
    m_decoder = std::move(decoder);
    return 1;
}

void CVideoManager::close() {
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
    if (!inRange(frame)) {
        return nullptr;
    }
    const AVFrame *decoded = m_decoder->frameAt(static_cast<int64_t>(frame));
    return decoded != nullptr ? m_converter->colourPicture(*decoded) : nullptr;
}

std::unique_ptr<CDib> CVideoManager::greyPictureAt(double frame) {
    if (!inRange(frame)) {
        return nullptr;
    }
    const AVFrame *decoded = m_decoder->frameAt(static_cast<int64_t>(frame));
    return decoded != nullptr ? m_converter->greyPicture(*decoded) : nullptr;
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
