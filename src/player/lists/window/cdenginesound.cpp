#include "player/lists/window/cdenginesound.h"

#include "media/playback/playbackengine.h"

namespace {

const QString kDiscAddress = QStringLiteral("cdda://");

}  // namespace

CCdEngineSound::CCdEngineSound(QObject *parent)
    : QObject(parent), m_engine(std::make_unique<CPlaybackEngine>()) {
    connect(m_engine.get(), &CPlaybackEngine::openFinished, this, &CCdEngineSound::opened);
    connect(m_engine.get(), &CPlaybackEngine::tick, this, &CCdEngineSound::checkEnd);
    connect(m_engine.get(), &CPlaybackEngine::graphEvent, this, [this](int code) {
        if (code == CPlaybackEngine::kEventComplete) {
            postEnded();
        } else if (code == CPlaybackEngine::kEventErrorAbort && m_playing) {
            m_playing = false;
            if (failed) {
                failed("the disc stopped playing");
            }
        }
    });
}

CCdEngineSound::~CCdEngineSound() = default;

int CCdEngineSound::start(const std::string &source, double from, double to) {
    m_from = from;
    m_to = to;
    m_playing = true;
    const bool loaded =
        m_engine->state() != CPlaybackEngine::kClosed && m_openTicket == 0 && source == m_source;
    if (loaded) {
        return startAt(from);
    }
    m_source = source;
    m_engine->setDiscDevice(QString::fromStdString(source));
    m_openTicket = m_engine->startOpen(kDiscAddress);
    if (m_openTicket == 0) {
        m_playing = false;
        return 0;
    }
    return 1;
}

void CCdEngineSound::opened(int ticket, int result) {
    if (ticket != m_openTicket) {
        return;
    }
    m_openTicket = 0;
    if (result != 1) {
        m_playing = false;
        if (failed) {
            failed("libmpv cannot play the disc in " + m_source);
        }
        return;
    }
    if (m_playing && !startAt(m_from) && failed) {
        failed("libmpv cannot play the disc in " + m_source);
    }
}

int CCdEngineSound::startAt(double from) {
    if (!m_engine->seek(from * 1e7)) {
        m_playing = false;
        return 0;
    }
    if (m_engine->state() == CPlaybackEngine::kRunning) {
        return 1;
    }
    m_engine->setRate(1.0);
    if (!m_engine->play()) {
        m_playing = false;
        return 0;
    }
    return 1;
}

int CCdEngineSound::pause() {
    if (m_openTicket != 0) {
        m_playing = false;
        return 1;
    }
    return m_engine->pause();
}

int CCdEngineSound::resume() {
    if (m_openTicket != 0) {
        m_playing = true;
        return 1;
    }
    return m_engine->play();
}

int CCdEngineSound::stop() {
    m_playing = false;
    if (m_openTicket != 0) {
        return 1;
    }
    return m_engine->stop();
}

double CCdEngineSound::position() const {
    if (m_openTicket != 0) {
        return m_from;
    }
    const double position = m_engine->currentPosition();
    return position < 0 ? -1 : position / 1e7;
}

void CCdEngineSound::checkEnd() {
    if (m_playing && position() >= m_to) {
        m_engine->pause();
        postEnded();
    }
}

void CCdEngineSound::postEnded() {
    if (!m_playing) {
        return;
    }
    m_playing = false;
    // The tick is already a posted event; the device's owner may start the next track from
    // its handler.
    if (ended) {
        ended();
    }
}
