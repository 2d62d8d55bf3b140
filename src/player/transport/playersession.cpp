#include "player/transport/playersession.h"

#include "media/grabber/videomanager.h"
#include "media/playback/playbackengine.h"
#include "scene/videodescription.h"

CPlayerSession::CPlayerSession(QObject *parent)
    : QObject(parent),
      m_engine(std::make_unique<CPlaybackEngine>()),
      m_grabber(std::make_unique<CVideoManager>()) {
    connect(m_engine.get(), &CPlaybackEngine::tick, this, &CPlayerSession::onEngineTick);
}

CPlayerSession::~CPlayerSession() {
    emit aboutToReleaseFile();
}

void CPlayerSession::replaceDescription(std::unique_ptr<CVideoDescription> description) {
    emit aboutToReleaseFile();
    m_description = std::move(description);
    markDescriptionSaved();
    emit descriptionReplaced();
}

int CPlayerSession::openGrabber(const QString &mediaPath) {
    emit aboutToReleaseFile();
    return m_grabber->open(mediaPath.toStdString());
}

void CPlayerSession::closeFile() {
    emit aboutToReleaseFile();
    m_engine->close();
    m_grabber->close();
    m_description.reset();
    markDescriptionSaved();
    setPlayState(kStopped);
}

void CPlayerSession::markDescriptionChanged() {
    if (!m_changed) {
        m_changed = true;
        emit descriptionChangedFlag(true);
    }
}

void CPlayerSession::markDescriptionSaved() {
    if (m_changed) {
        m_changed = false;
        emit descriptionChangedFlag(false);
    }
}

void CPlayerSession::setPlayState(EPlayState state) {
    if (state != m_playState) {
        m_playState = state;
        emit playStateChanged(state);
    }
}

void CPlayerSession::setBusy(bool busy) {
    if (busy != m_busy) {
        m_busy = busy;
        emit busyChanged(busy);
    }
}

void CPlayerSession::setCaptionText(const QString &text) {
    if (text != m_captionText) {
        m_captionText = text;
        emit captionTextChanged(text);
    }
}

double CPlayerSession::frameAt(double position) const {
    return m_grabber->isOpen() ? m_grabber->timeToFrame(position) : -1;
}

double CPlayerSession::positionOfFrame(double frame) const {
    return m_grabber->isOpen() ? m_grabber->frameToTime(frame) : -1;
}

void CPlayerSession::onEngineTick() {
    emit positionUpdated(m_engine->currentPosition());
}

void CPlayerSession::setAudioCdMode(bool on) {
    if (m_audioCdMode != on) {
        m_audioCdMode = on;
        m_audioCdTrack = 0;
        emit audioCdModeChanged(on);
    }
}
