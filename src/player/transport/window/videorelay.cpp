#include "player/transport/window/videorelay.h"

#include "media/playback/playbackwnd.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"

CVideoRelay::CVideoRelay(CPlaybackWnd &engine, CPlayerSession &session, CPlayerTransport &transport,
                         QObject *parent)
    : QObject(parent), m_engine(engine), m_session(session), m_transport(transport) {
    m_buffering.setInterval(kBufferingIntervalMs);
    connect(&m_buffering, &QTimer::timeout, this, &CVideoRelay::showBufferingProgress);
    connect(&engine, &CPlaybackWnd::graphEvent, this, &CVideoRelay::onGraphEvent);
    connect(&engine, &CPlaybackWnd::tick, this,
            [this] { m_transport.positionUpdate(m_engine.currentPosition()); });
    connect(&engine, &CPlaybackWnd::steppedEnd, &transport, &CPlayerTransport::endOfStream);
    connect(&engine, &CPlaybackWnd::leftButton, this, &CVideoRelay::onLeftButton);
    connect(&engine, &CPlaybackWnd::rightButton, this, &CVideoRelay::contextMenuRequested);
}

void CVideoRelay::onGraphEvent(int code, qint64 parameter, const QString &text) {
    switch (code) {
        case CPlaybackEngine::kEventText:
            emit captionText(text);
            break;
        case CPlaybackEngine::kEventComplete:
            m_transport.endOfStream();
            break;
        case CPlaybackEngine::kEventUserAbort:
        case CPlaybackEngine::kEventErrorAbort:
            // Through the transport, so that the panel shows the stop too.
            m_transport.stopWithoutRewinding();
            break;
        case CPlaybackEngine::kEventBufferingData:
            if (parameter == 1) {
                m_buffering.start();
            } else {
                m_buffering.stop();
                showPlayState(m_session.playState() == CPlayerSession::kPlaying
                                  ? QStringLiteral("재생")
                                  : QStringLiteral("멈춤"));
            }
            break;
        default:
            break;
    }
}

void CVideoRelay::onLeftButton() {
    IPlayerControl *control = m_session.control();
    if (control == nullptr) {
        return;
    }
    if (m_session.playState() == CPlayerSession::kStopped) {
        control->play();
    } else {
        control->pause();
    }
}

void CVideoRelay::showBufferingProgress() {
    showPlayState(QStringLiteral("버퍼링.. : %1%").arg(m_engine.bufferingProgress()));
}

void CVideoRelay::showPlayState(const QString &text) {
    if (IPlayerControl *control = m_session.control()) {
        control->showPlayState(text);
    }
}
