// The engine's transport (play, pause, stop, seek, stepped playback), sound levels, effects and
// playlists.

#include "media/playback/audiolevels.h"
#include "media/playback/imageeffects.h"
#include "media/playback/metafilereader.h"
#include "media/playback/playbackengine.h"
#include "mpvclient.h"
#include "playbacklog.h"

#include <cmath>

int CPlaybackEngine::play() {
    if (m_state != kStopped && m_state != kPaused) {
        return 0;
    }
    m_steppedTo.reset();
    if (m_mpv->setProperty("speed", m_rate)) {
        // Running at the end completes again at once; libmpv would just stay there silently.
        const bool atEnd = m_mpv->getFlag("eof-reached").value_or(false);
        if (!setPaused(false)) {
            return 0;
        }
        m_stepping = false;
        m_state = kRunning;
        if (!m_seekPending) {
            m_heldPosition.reset();
        }
        m_timer.start();
        if (atEnd) {
            postGraphEvent(kEventComplete, 0);
        }
        return 1;
    }
    // libmpv refuses the rate (negative, or beyond what it can play): move through the media in
    // steps of four frame times per tick, showing the frame at each.
    if (!setPaused(true)) {
        return 0;
    }
    m_stepping = true;
    m_step = kFrameTime * m_rate * 4;
    m_state = kRunning;
    m_timer.start();
    return 1;
}

int CPlaybackEngine::pause() {
    if (m_state != kRunning && m_state != kStopped) {
        return 0;
    }
    if (!setPaused(true)) {
        return 0;
    }
    m_timer.stop();
    m_stepping = false;
    m_state = kPaused;
    return 1;
}

int CPlaybackEngine::stop() {
    if (m_state != kRunning && m_state != kPaused) {
        return 0;
    }
    if (!setPaused(true)) {
        return 0;
    }
    m_timer.stop();
    m_stepping = false;
    m_state = kStopped;
    return 1;
}

int CPlaybackEngine::seek(double position) {
    if (m_state == kClosed || !std::isfinite(position) || position < 0) {
        return 0;
    }
    // A seek shows the first frame at or after the position. When that is the frame on screen
    // nothing needs decoding; when it is the frame after it, libmpv's frame step shows it
    // without going back to a key frame. One microsecond of slack absorbs the rounding of
    // frame times.
    if (const std::optional<CShownFrame> shown = shownFrame()) {
        constexpr double kSlack = 1e-6;
        const double target = position / 1e7;
        const double next = shown->time + shown->length;
        const bool onShownFrame =
            target > shown->time - shown->length + kSlack && target <= shown->time + kSlack;
        const bool onNextFrame = target > shown->time && target <= next + kSlack;
        if (onShownFrame || (onNextFrame && m_mpv->command({"frame-step"}))) {
            if (!onShownFrame) {
                m_steppedTo = next;
            }
            m_heldPosition = position;
            return 1;
        }
    }
    if (!seekTo(position)) {
        return 0;
    }
    if (m_state != kRunning) {
        setPaused(true);
    }
    return 1;
}

double CPlaybackEngine::currentPosition() const {
    if (m_state == kClosed) {
        return -1;
    }
    if (m_heldPosition && (m_state != kRunning || m_stepping || m_seekPending)) {
        return *m_heldPosition;
    }
    const std::optional<double> seconds = m_mpv->getDouble("time-pos");
    return seconds ? *seconds * 1e7 : -1;
}

std::optional<CPlaybackEngine::CShownFrame> CPlaybackEngine::shownFrame() const {
    if (m_state == kRunning || m_seekPending || m_stepping || !m_hasVideo) {
        return std::nullopt;
    }
    // libmpv tells the time of a stepped-to frame only once it is drawn; steps come faster.
    const std::optional<double> time = m_steppedTo ? m_steppedTo : m_mpv->getDouble("time-pos");
    const std::optional<double> rate = m_mpv->getDouble("container-fps");
    if (!time || !rate || *rate <= 0) {
        return std::nullopt;
    }
    return CShownFrame{*time, 1.0 / *rate};
}

bool CPlaybackEngine::seekTo(double position) {
    m_steppedTo.reset();
    const QByteArray seconds = QByteArray::number(position / 1e7, 'f', 7);
    if (!m_mpv->command({"seek", seconds.constData(), "absolute+exact"})) {
        return false;
    }
    m_heldPosition = position;
    m_seekPending = true;
    return true;
}

bool CPlaybackEngine::setPaused(bool paused) {
    return m_mpv->setFlag("pause", paused);
}

void CPlaybackEngine::onTimer() {
    if (m_stepping) {
        stepOnce();
    } else {
        emit tick();
    }
}

void CPlaybackEngine::stepOnce() {
    const double next = std::trunc(currentPosition() + m_step);
    if (next >= 0 && next <= m_duration) {
        // A failed seek leaves this tick without effect; the next one tries again.
        if (seekTo(next)) {
            setPaused(true);
            emit tick();
        }
        return;
    }
    stop();
    emit steppedEnd();
}

int CPlaybackEngine::setVolume(int level) {
    if (m_state == kClosed || !m_hasAudio) {
        return 0;
    }
    const int applied = clampVolumeLevel(level);
    if (!m_mpv->setProperty("volume", mpvVolumeForLevel(applied))) {
        return 0;
    }
    m_volume = applied;
    return 1;
}

int CPlaybackEngine::setMute(bool on) {
    if (m_state == kClosed || !m_hasAudio) {
        return 0;
    }
    if (!on) {
        return setVolume(m_volume);
    }
    return m_mpv->setProperty("volume", mpvVolumeForLevel(kSilence)) ? 1 : 0;
}

int CPlaybackEngine::setBalance(int balance) {
    if (m_state == kClosed || !m_hasAudio) {
        return 0;
    }
    const int applied = clampBalance(balance);
    if (!m_mpv->setProperty("af", balanceFilterChain(applied))) {
        return 0;
    }
    m_balance = applied;
    return 1;
}

void CPlaybackEngine::setAudioOutput(const QString &driver) {
    m_mpv->setProperty("ao", driver);
}

void CPlaybackEngine::setDiscDevice(const QString &device) {
    m_mpv->setProperty("cdrom-device", device);
}

double CPlaybackEngine::audioClock() const {
    return m_mpv->getDouble("audio-pts").value_or(-1);
}

void CPlaybackEngine::setBufferingTime(double seconds) {
    if (std::isfinite(seconds) && seconds >= 0) {
        m_bufferingTime = seconds;
    }
}

int CPlaybackEngine::bufferingProgress() const {
    if (m_state == kClosed || !m_isNetwork) {
        return -1;
    }
    return int(m_mpv->getInt("cache-buffering-state").value_or(-1));
}

int CPlaybackEngine::setEffectMode(int mode) {
    if (!m_effectsFilter) {
        return 0;
    }
    const std::optional<QString> chain = effectFilterChain(mode);
    if (!chain || !m_mpv->setProperty("vf", *chain)) {
        return 0;
    }
    m_effectMode = mode;
    return 1;
}

int CPlaybackEngine::openPlaylist(const QString &path) {
    CMetafilePlaylist playlist;
    QString error;
    if (!readMetafilePlaylist(path, playlist, &error)) {
        qCInfo(lcPlayback).noquote() << "not a playlist:" << path << "-" << error;
        return 0;
    }
    m_playlist = std::move(playlist);
    return 1;
}

int CPlaybackEngine::nextPlaylistEntry(QString &url, double &start, double &duration,
                                       bool forceNext) {
    return m_playlist.nextEntry(url, start, duration, forceNext) ? 1 : 0;
}

bool CPlaybackEngine::isPlaylist(const QString &path) {
    return metafileKind(path) != EMetafileKind::None;
}
