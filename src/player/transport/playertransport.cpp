#include "player/transport/playertransport.h"

#include <QTime>

#include <algorithm>
#include <cmath>

#include "media/playback/playbackengine.h"
#include "player/transport/playersession.h"
#include "scene/videodescription.h"

namespace {

constexpr int kPlaying = CPlayerSession::kPlaying;
constexpr int kStopped = CPlayerSession::kStopped;
constexpr int kPaused = CPlayerSession::kPaused;
constexpr int kExtended = CPlayerSession::kExtendedPlay;

// The play-state line during extended play: what the rate does.
QString extendedPlayText(double rate) {
    if (rate > 0 && rate < 1) {
        return QStringLiteral("천천히 앞으로");
    }
    if (rate > 1) {
        return QStringLiteral("빨리 앞으로");
    }
    if (rate <= -1) {
        return QStringLiteral("빨리 뒤로");
    }
    return QStringLiteral("천천히 뒤로");
}

int wallClockSeconds() {
    const QTime now = QTime::currentTime();
    return now.hour() * 3600 + now.minute() * 60 + now.second();
}

}  // namespace

CPlayerTransport::CPlayerTransport(CPlayerSession &session, QObject *parent)
    : QObject(parent), m_session(session) {}

void CPlayerTransport::fileOpened(double durationSeconds, bool hasVideo, bool sceneNavigation) {
    m_open = true;
    m_durationSeconds = durationSeconds > 0 ? durationSeconds : 0;
    m_hasVideo = hasVideo;
    m_sceneNavigation = sceneNavigation;
    updateControls();
    showTime(m_durationSeconds);
}

void CPlayerTransport::reset() {
    m_open = false;
    m_hasVideo = false;
    m_sceneNavigation = false;
    m_durationSeconds = 0;
    m_stateBeforePause = kStopped;
    m_repeatMode = false;
    m_repeat.stop();
    m_elapsedMode = false;
    showTime(0);
    setPlayState(kStopped);
    emit positionSliderChanged(0);
    updateControls();
}

CPlayerTransport::CControls CPlayerTransport::controls() const {
    CControls controls;
    if (cdMode()) {
        return {true, true, true, true, true};
    }
    controls.play = m_open || (m_playlist && m_playlist->hasEntries());
    controls.pause = m_open && m_session.playState() != kStopped;
    controls.stop = m_open;
    controls.seekButtons = m_open && m_sceneNavigation && m_hasVideo && m_durationSeconds > 0;
    controls.positionSlider = m_open && m_durationSeconds > 0 && !m_repeatMode;
    return controls;
}

void CPlayerTransport::updateControls() {
    emit controlsChanged(controls());
}

void CPlayerTransport::setPlayState(int state) {
    m_session.setPlayState(CPlayerSession::EPlayState(state));
    QString text;
    switch (state) {
        case kPlaying:
            text = m_repeatMode ? QStringLiteral("반복 재생") : QStringLiteral("재생");
            break;
        case kStopped:
            text = QStringLiteral("멈춤");
            break;
        case kPaused:
            text = QStringLiteral("일시정지");
            break;
        default:
            text = extendedPlayText(m_extendedRate);
            break;
    }
    emit playStateTextChanged(text);
    emit pauseButtonChanged(state != kStopped, state == kPaused);
}

bool CPlayerTransport::engineReady() const {
    return m_open && m_session.engine().state() != CPlaybackEngine::kClosed;
}

int CPlayerTransport::play() {
    if (cdMode()) {
        return m_cd->play();
    }
    if (!m_open) {
        if (m_playlist && !m_playlist->isPlaying() && m_playlist->hasEntries()) {
            return m_playlist->start();
        }
        return 0;
    }
    const int state = m_session.playState();
    if (state == kPlaying) {
        return 0;
    }
    if (state == kPaused) {
        return pauseToggle();
    }
    if (state == kExtended) {
        stopWithoutRewinding();
    }
    CPlaybackEngine &engine = m_session.engine();
    engine.setRate(1.0);
    if (!engine.play()) {
        return 0;
    }
    setPlayState(kPlaying);
    return 1;
}

int CPlayerTransport::stopAndRewind() {
    if (cdMode()) {
        return stopWithoutRewinding();
    }
    if (!m_open || m_session.playState() == kStopped) {
        return 0;
    }
    CPlaybackEngine &engine = m_session.engine();
    if (!engine.stop()) {
        return 0;
    }
    setPlayState(kStopped);
    emit captionsRefreshNeeded();
    return seek(engine.earliest(), false);
}

int CPlayerTransport::stopWithoutRewinding() {
    if (cdMode()) {
        if (m_session.playState() == kStopped || !m_cd->stop()) {
            return 0;
        }
        setPlayState(kStopped);
        return 1;
    }
    if (!m_open || m_session.playState() == kStopped) {
        return 0;
    }
    if (!m_session.engine().stop()) {
        return 0;
    }
    setPlayState(kStopped);
    emit captionsRefreshNeeded();
    return 1;
}

int CPlayerTransport::pauseToggle() {
    if (cdMode()) {
        return m_cd->pauseToggle();
    }
    const int state = m_session.playState();
    if (!m_open || state == kStopped) {
        return 0;
    }
    CPlaybackEngine &engine = m_session.engine();
    if (state == kPaused) {
        if (m_stateBeforePause == kPlaying) {
            if (!engine.play()) {
                return 0;
            }
            setPlayState(kPlaying);
            return 1;
        }
        if (m_stateBeforePause == kExtended) {
            return setRate(m_extendedRate);
        }
        return 0;
    }
    if (!engine.pause()) {
        return 0;
    }
    m_stateBeforePause = state;
    emit captionsRefreshNeeded();
    setPlayState(kPaused);
    return 1;
}

int CPlayerTransport::setRate(double rate) {
    if (!m_open || !m_sceneNavigation || !m_hasVideo || m_durationSeconds <= 0) {
        return 0;
    }
    if (m_session.playState() == kExtended && m_extendedRate == rate) {
        return 0;
    }
    m_extendedRate = rate;
    if (m_session.playState() != kStopped) {
        stopWithoutRewinding();
    }
    CPlaybackEngine &engine = m_session.engine();
    engine.setRate(rate);
    if (!engine.play()) {
        return 0;
    }
    setPlayState(kExtended);
    return 1;
}

int CPlayerTransport::stepBack() {
    if (cdMode()) {
        return m_cd->first();
    }
    if (!controls().seekButtons) {
        return 0;
    }
    stopWithoutRewinding();
    const CPlaybackEngine &engine = m_session.engine();
    return seek(std::max(engine.currentPosition() - kStep, engine.earliest()), false);
}

int CPlayerTransport::stepForward() {
    if (cdMode()) {
        return m_cd->last();
    }
    if (!controls().seekButtons) {
        return 0;
    }
    stopWithoutRewinding();
    const double target = m_session.engine().currentPosition() + kStep;
    if (target > m_durationSeconds * 1e7) {
        return 0;
    }
    return seek(target, false);
}

int CPlayerTransport::seek(double position, bool stopFirst) {
    if (!engineReady()) {
        return 0;
    }
    if (stopFirst) {
        stopWithoutRewinding();
    }
    if (!m_session.engine().seek(position)) {
        return 0;
    }
    showPosition(position);
    emit captionsRefreshNeeded();
    return 1;
}

int CPlayerTransport::seekInPlace(double position) {
    if (!engineReady() || position < 0) {
        return 0;
    }
    if (m_session.playState() == kStopped) {
        return seek(position, false);
    }
    pauseToggle();
    const int done = seek(position, false);
    pauseToggle();
    return done;
}

int CPlayerTransport::seekToTime(double position) {
    return seekInPlace(position);
}

int CPlayerTransport::seekToFrame(double frame) {
    if (frame < 0) {
        return 0;
    }
    return seekInPlace(m_session.positionOfFrame(frame));
}

int CPlayerTransport::goToStart() {
    return goToEdge(0);
}

int CPlayerTransport::goToEnd() {
    return goToEdge(m_session.engine().duration());
}

int CPlayerTransport::goToEdge(double position) {
    if (!m_open || m_durationSeconds <= 0) {
        return 0;
    }
    stopWithoutRewinding();
    if (!m_session.engine().seek(position)) {
        return 0;
    }
    showPosition(position);
    setPlayState(kStopped);
    emit captionsRefreshNeeded();
    return 1;
}

int CPlayerTransport::endOfStream() {
    stopWithoutRewinding();
    const bool playlistPlaying = m_playlist && m_playlist->isPlaying();
    if (m_metafile && m_metafile->isActive() && m_metafile->playNextEntry(playlistPlaying)) {
        return 1;
    }
    if (m_playlist && m_playlist->isPlaying()) {
        return m_playlist->playNext();
    }
    return m_open ? goToStart() : 0;
}

void CPlayerTransport::positionUpdate(double position) {
    if (m_durationSeconds > 0) {
        showPosition(position);
    } else {
        // A live stream: the display shows the time of day.
        m_lastRemaining = wallClockSeconds();
        emit timeDisplayChanged(int(m_lastRemaining));
    }
    if (m_repeatMode) {
        if (const std::optional<kivo::lists::CRepeatCue> cue = m_repeat.positionChanged(position)) {
            followRepeatCue(*cue);
        }
    }
    emit positionReport(position);
    if (m_metafile && m_metafile->entryTimeUsedUp(position)) {
        endOfStream();
    }
}

int CPlayerTransport::positionSliderMoved(int seconds) {
    if (cdMode()) {
        // The slider's value is the last second heard; the track goes on from the next one.
        return m_cd->seek(seconds + 1);
    }
    return seekInPlace(seconds * 1e7);
}

void CPlayerTransport::showPosition(double position) {
    const double seconds = position * 1e-7;
    emit positionSliderChanged(int(seconds));
    showTime(m_durationSeconds - seconds);
}

void CPlayerTransport::showTime(double remainingSeconds) {
    m_lastRemaining = remainingSeconds;
    const double shown = m_elapsedMode ? m_durationSeconds - remainingSeconds : remainingSeconds;
    emit timeDisplayChanged(int(std::lround(std::max(0.0, shown))));
}

void CPlayerTransport::toggleTimeDisplayMode() {
    m_elapsedMode = !m_elapsedMode;
    if (m_durationSeconds > 0) {
        showTime(m_lastRemaining);
    }
}

void CPlayerTransport::setRepeatMode(bool on) {
    m_repeatMode = on;
    if (m_session.playState() == kPlaying) {
        setPlayState(kPlaying);
    }
    updateControls();
}

int CPlayerTransport::startRepeatPlayback(const std::vector<size_t> &sections) {
    const CVideoDescription *description = m_session.description();
    const std::optional<kivo::lists::CRepeatCue> cue =
        description && m_open ? m_repeat.start(description->repeatSections(), sections)
                              : std::nullopt;
    if (!cue) {
        m_repeat.stop();
        setRepeatMode(false);
        return 0;
    }
    setRepeatMode(true);
    followRepeatCue(*cue);
    return 1;
}

int CPlayerTransport::resumeRepeatPlayback() {
    const CVideoDescription *description = m_session.description();
    if (!m_open || description == nullptr || description->repeatSections().empty()) {
        return 0;
    }
    if (!m_repeat.active()) {
        std::vector<size_t> all(description->repeatSections().size());
        for (size_t i = 0; i < all.size(); ++i) {
            all[i] = i;
        }
        m_repeat.start(description->repeatSections(), all);
    }
    setRepeatMode(true);
    const size_t current = m_repeat.sections()[m_repeat.current()];
    emit repeatSectionStarted(int(current));
    return seekInPlace(description->repeatSections()[current].start);
}

void CPlayerTransport::repeatSectionRemoved(size_t index) {
    m_repeat.sectionRemoved(index);
    if (!m_repeat.active() && m_repeatMode) {
        setRepeatMode(false);
    }
}

void CPlayerTransport::followRepeatCue(const kivo::lists::CRepeatCue &cue) {
    if (cue.restart) {
        // From the top: stopped at the first section's start, as when repeat playback began.
        stopWithoutRewinding();
        seek(cue.position, false);
    } else {
        seekInPlace(cue.position);
    }
    emit repeatSectionStarted(int(cue.section));
}

int CPlayerTransport::zoomIn() {
    if (!m_open || !m_hasVideo) {
        return 0;
    }
    if (m_sizeRate + 0.5 > kMaxSizeRate) {
        m_sizeRate = kMaxSizeRate;
        return 0;
    }
    m_sizeRate += 0.5;
    emit sizeRateChanged(m_sizeRate);
    return 1;
}

int CPlayerTransport::zoomOut() {
    if (!m_open || !m_hasVideo) {
        return 0;
    }
    if (m_sizeRate - 0.5 < kMinSizeRate) {
        m_sizeRate = kMinSizeRate;
        return 0;
    }
    m_sizeRate -= 0.5;
    emit sizeRateChanged(m_sizeRate);
    return 1;
}

int CPlayerTransport::volumeSliderMoved(int value) {
    if (cdMode()) {
        m_cd->setVolume(std::clamp(value, 0, kCdVolumeSliderMaximum));
        emit volumeSliderChanged(int(m_cd->volume()), m_soundOn);
        return 1;
    }
    m_volumeSlider = std::clamp(value, 0, 100);
    emit volumeSliderChanged(m_volumeSlider, m_soundOn);
    if (!m_open) {
        return 0;
    }
    // Media without sound keeps its (silent) level; the slider still moves.
    m_session.engine().setVolume(engineVolumeOf(m_volumeSlider));
    return 1;
}

int CPlayerTransport::moveVolume(int delta) {
    if (m_soundOn && cdMode()) {
        m_cd->stepVolume(delta > 0);
        emit volumeSliderChanged(int(m_cd->volume()), m_soundOn);
        return 1;
    }
    if (!m_soundOn || !m_open) {
        return 0;
    }
    return volumeSliderMoved(m_volumeSlider + delta);
}

int CPlayerTransport::setSoundOn(bool on) {
    m_soundOn = on;
    if (cdMode()) {
        m_cd->setMute(!on);
        emit volumeSliderChanged(int(m_cd->volume()), on);
        return 1;
    }
    emit volumeSliderChanged(m_volumeSlider, on);
    return m_session.engine().setMute(!on);
}

bool CPlayerTransport::cdMode() const {
    return m_cd != nullptr && m_session.isAudioCdMode();
}

int CPlayerTransport::fastBackward() {
    return cdMode() ? m_cd->previous() : setRate(-2.0);
}

int CPlayerTransport::fastForward() {
    return cdMode() ? m_cd->next() : setRate(2.0);
}

void CPlayerTransport::enterAudioCdMode() {
    m_elapsedMode = false;
    m_durationSeconds = 0;
    showTime(0);
    updateControls();
    if (m_cd != nullptr) {
        emit volumeSliderRangeChanged(kCdVolumeSliderMaximum);
        emit volumeSliderChanged(int(std::min<long>(m_cd->volume(), kCdVolumeSliderMaximum)),
                                 m_soundOn);
    }
}

void CPlayerTransport::leaveAudioCdMode() {
    reset();
    emit volumeSliderRangeChanged(100);
    emit volumeSliderChanged(m_volumeSlider, m_soundOn);
}

void CPlayerTransport::cdTrackStarted(int lengthSeconds) {
    m_durationSeconds = std::max(lengthSeconds, 0);
    emit fileInformationChanged(QStringLiteral("오디오 CD"));
    emit playStateTextChanged(QStringLiteral("미디어에 연결중.."));
    updateControls();
    emit positionSliderChanged(0);
    showTime(m_durationSeconds);
}

void CPlayerTransport::cdPositionUpdate(int seconds) {
    emit positionSliderChanged(seconds);
    showTime(m_durationSeconds - seconds);
}
