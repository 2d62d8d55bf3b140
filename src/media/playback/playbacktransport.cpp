// The engine's transport (play, pause, stop, seek, stepped playback), sound levels, effects,
// playlists and the window itself: painting, full screen and mouse buttons.

#include "media/playback/audiolevels.h"
#include "media/playback/imageeffects.h"
#include "media/playback/logoplacement.h"
#include "media/playback/metafilereader.h"
#include "media/playback/playbacklog.h"
#include "media/playback/playbackwnd.h"
#include "media/playback/videosurface.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

int CPlaybackWnd::play() {
    if (m_state != kStopped && m_state != kPaused) {
        return 0;
    }
    if (setMpvProperty("speed", m_rate)) {
        // Running at the end completes again at once; libmpv would just stay there silently.
        const bool atEnd = mpvFlag("eof-reached").value_or(false);
        if (!setPaused(false)) {
            return 0;
        }
        m_stepping = false;
        m_state = kRunning;
        if (!m_seekPending) {
            m_heldPosition.reset();
        }
        startTransportTimer();
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
    startTransportTimer();
    return 1;
}

int CPlaybackWnd::pause() {
    if (m_state != kRunning && m_state != kStopped) {
        return 0;
    }
    if (!setPaused(true)) {
        return 0;
    }
    stopTransportTimer();
    m_stepping = false;
    m_state = kPaused;
    return 1;
}

int CPlaybackWnd::stop() {
    if (m_state != kRunning && m_state != kPaused) {
        return 0;
    }
    if (!setPaused(true)) {
        return 0;
    }
    stopTransportTimer();
    m_stepping = false;
    m_state = kStopped;
    return 1;
}

int CPlaybackWnd::seek(double position) {
    if (m_state == kClosed || !std::isfinite(position) || position < 0) {
        return 0;
    }
    if (!seekTo(position)) {
        return 0;
    }
    if (m_state != kRunning) {
        setPaused(true);
    }
    return 1;
}

double CPlaybackWnd::currentPosition() const {
    if (m_state == kClosed) {
        return -1;
    }
    if (m_heldPosition && (m_state != kRunning || m_stepping || m_seekPending)) {
        return *m_heldPosition;
    }
    const std::optional<double> seconds = mpvDouble("time-pos");
    return seconds ? *seconds * 1e7 : -1;
}

bool CPlaybackWnd::seekTo(double position) {
    const QByteArray seconds = QByteArray::number(position / 1e7, 'f', 7);
    if (!mpvCommand({"seek", seconds.constData(), "absolute+exact"})) {
        return false;
    }
    m_heldPosition = position;
    m_seekPending = true;
    return true;
}

bool CPlaybackWnd::setPaused(bool paused) {
    return setMpvFlag("pause", paused);
}

void CPlaybackWnd::startTransportTimer() {
    m_timer.start();
}

void CPlaybackWnd::stopTransportTimer() {
    m_timer.stop();
}

void CPlaybackWnd::onTimer() {
    if (m_stepping) {
        stepOnce();
    } else {
        emit tick();
    }
}

void CPlaybackWnd::stepOnce() {
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

int CPlaybackWnd::setVolume(int level) {
    if (m_state == kClosed || !m_hasAudio) {
        return 0;
    }
    const int applied = clampVolumeLevel(level);
    if (!setMpvProperty("volume", mpvVolumeForLevel(applied))) {
        return 0;
    }
    m_volume = applied;
    return 1;
}

int CPlaybackWnd::setMute(bool on) {
    if (m_state == kClosed || !m_hasAudio) {
        return 0;
    }
    if (!on) {
        return setVolume(m_volume);
    }
    return setMpvProperty("volume", mpvVolumeForLevel(kSilence)) ? 1 : 0;
}

int CPlaybackWnd::setBalance(int balance) {
    if (m_state == kClosed || !m_hasAudio) {
        return 0;
    }
    const int applied = clampBalance(balance);
    if (!setMpvProperty("af", balanceFilterChain(applied))) {
        return 0;
    }
    m_balance = applied;
    return 1;
}

void CPlaybackWnd::setAudioOutput(const QString &driver) {
    setMpvProperty("ao", driver);
}

void CPlaybackWnd::setBufferingTime(double seconds) {
    if (std::isfinite(seconds) && seconds >= 0) {
        m_bufferingTime = seconds;
    }
}

int CPlaybackWnd::bufferingProgress() const {
    if (m_state == kClosed || !m_isNetwork) {
        return -1;
    }
    return int(mpvInt("cache-buffering-state").value_or(-1));
}

int CPlaybackWnd::setEffectMode(int mode) {
    if (!m_effectsFilter) {
        return 0;
    }
    const std::optional<QString> chain = effectFilterChain(mode);
    if (!chain || !setMpvProperty("vf", *chain)) {
        return 0;
    }
    m_effectMode = mode;
    return 1;
}

int CPlaybackWnd::openPlaylist(const QString &path) {
    CMetafilePlaylist playlist;
    QString error;
    if (!readMetafilePlaylist(path, playlist, &error)) {
        qCInfo(lcPlayback).noquote() << "not a playlist:" << path << "-" << error;
        return 0;
    }
    m_playlist = std::move(playlist);
    return 1;
}

int CPlaybackWnd::nextPlaylistEntry(QString &url, double &start, double &duration, bool forceNext) {
    return m_playlist.nextEntry(url, start, duration, forceNext) ? 1 : 0;
}

bool CPlaybackWnd::isPlaylist(const QString &path) {
    return metafileKind(path) != EMetafileKind::None;
}

int CPlaybackWnd::setFullScreen(bool on) {
    if (!m_hasVideo) {
        return 0;
    }
    if (on == m_fullScreen) {
        return 1;
    }
    if (!on) {
        leaveFullScreen();
        return 1;
    }
    if (parentWidget() != nullptr) {
        m_geometryBeforeFullScreen = geometry();
        setWindowFlag(Qt::Window, true);
    }
    showFullScreen();
    m_fullScreen = true;
    return 1;
}

void CPlaybackWnd::leaveFullScreen() {
    if (parentWidget() != nullptr) {
        setWindowFlag(Qt::Window, false);
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        setGeometry(m_geometryBeforeFullScreen);
        show();
    } else {
        showNormal();
    }
    m_fullScreen = false;
}

void CPlaybackWnd::showVideo(bool show) {
    m_videoShown = show;
    updateSurfaceVisibility();
}

void CPlaybackWnd::updateSurfaceVisibility() {
    if (!m_surface) {
        return;
    }
    m_surface->place(rect());
    m_surface->widget()->setVisible(m_state != kClosed && m_hasVideo && m_videoShown);
}

void CPlaybackWnd::setLogoBitmap(const QImage &logo) {
    m_logo = logo;
    update();
}

void CPlaybackWnd::setBackgroundColour(const QColor &colour) {
    m_background = colour;
    update();
}

void CPlaybackWnd::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    if (m_logo.isNull()) {
        return;
    }
    const QRect target = logoRect(size(), m_logo.size());
    if (!target.isEmpty()) {
        painter.drawImage(target, m_logo);
    }
}

void CPlaybackWnd::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (m_surface) {
        m_surface->place(rect());
    }
}

void CPlaybackWnd::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        postSignal(&CPlaybackWnd::leftButton);
    } else if (event->button() == Qt::RightButton) {
        postSignal(&CPlaybackWnd::rightButton);
    }
    event->accept();
}

void CPlaybackWnd::closeEvent(QCloseEvent *event) {
    // The window manager closed the full-screen video: playback was ended by the user. The
    // engine returns into its parent; the parent decides what stopping means.
    if (m_state != kClosed) {
        postGraphEvent(kEventUserAbort, 0);
    }
    if (m_fullScreen && parentWidget() != nullptr) {
        event->ignore();
        leaveFullScreen();
        return;
    }
    QWidget::closeEvent(event);
}
