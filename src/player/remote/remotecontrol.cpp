#include "player/remote/remotecontrol.h"

#include <algorithm>

#include "media/playback/playbackengine.h"
#include "player/remote/remoterequests.h"
#include "player/shell/sharedtextblock.h"
#include "player/transport/playercommands.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"

namespace kivo::remote {

using kivo::shell::CTextReply;
using EWindow = IPlayerControl::EWindowRequest;

CRemoteControl::CRemoteControl(CPlayerSession &session, CPlayerTransport &transport,
                               CSharedTextBlock &replyBlock)
    : m_session(session), m_transport(transport), m_replyBlock(replyBlock) {}

std::optional<CTextReply> CRemoteControl::handle(uint32_t code, int32_t parameter) {
    const std::optional<ERequest> request = decodeRequest(code);
    if (!request) {
        return std::nullopt;
    }
    IPlayerControl *control = m_session.control();
    if (control == nullptr) {
        return CTextReply{};
    }
    const CPlayerTransport::CControls enabled = m_transport.controls();
    switch (*request) {
        case ERequest::Play:
            return enabled.play ? stateReply(control->play()) : CTextReply{};
        case ERequest::Pause:
            return CTextReply{enabled.pause ? control->pause() : 0, {}};
        case ERequest::Stop:
            return CTextReply{enabled.stop ? control->stop() : 0, {}};
        case ERequest::Previous:
        case ERequest::Next: {
            // The commands themselves know the CD's buttons, the busy flag and the playlist.
            const int id = *request == ERequest::Next ? kivo::player::kKeyNextFile
                                                      : kivo::player::kKeyPreviousFile;
            const int result = control->runCommand(id);
            return result == 1 ? stateReply(1) : CTextReply{};
        }
        case ERequest::State:
            return stateReply(1);
        case ERequest::Caption:
            return reply(1, m_session.captionText());
        case ERequest::Forward:
            return jump(kJump);
        case ERequest::Back:
            return jump(-kJump);
        case ERequest::Faster:
            faster(parameter);
            return CTextReply{};
        case ERequest::ShowFinder:
            return CTextReply{control->arrangeWindow(EWindow::FinderPage), {}};
        case ERequest::ShowPlaylist:
            return CTextReply{control->arrangeWindow(EWindow::PlaylistPage), {}};
        case ERequest::ShowScenes:
            return CTextReply{control->arrangeWindow(EWindow::SceneTreePage), {}};
        case ERequest::HideInfo:
            return CTextReply{control->arrangeWindow(EWindow::HideInformation), {}};
        case ERequest::Maximize:
            return CTextReply{control->arrangeWindow(EWindow::MaximizeVideo), {}};
        case ERequest::HideVideo:
            return CTextReply{control->arrangeWindow(EWindow::HideVideo), {}};
        case ERequest::ZoomIn:
        case ERequest::ZoomOut:
            if (!hasVideoOpen()) {
                return CTextReply{};
            }
            return CTextReply{
                control->runCommand(*request == ERequest::ZoomIn ? kivo::player::kKeyZoomIn
                                                                 : kivo::player::kKeyZoomOut),
                {}};
        case ERequest::Split:
            if (!hasVideoOpen() || !m_transport.hasSceneNavigation() ||
                m_transport.durationSeconds() <= 0) {
                return CTextReply{};
            }
            return CTextReply{control->runCommand(kivo::player::kKeySceneSplit), {}};
        case ERequest::SetCaption:
            // The block holds at most 1023 bytes up to its terminator; bytes that are not
            // UTF-8 become replacement characters.
            m_session.setCaptionText(QString::fromUtf8(m_replyBlock.read()));
            return CTextReply{1, {}};
        case ERequest::Channel:
            control->runCommand(kivo::player::kChannelButton);
            return CTextReply{1, {}};
    }
    return std::nullopt;
}

CTextReply CRemoteControl::reply(int result, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    m_replyBlock.write(bytes);
    return CTextReply{result, bytes};
}

CTextReply CRemoteControl::stateReply(int result) {
    return reply(result, m_session.control()->stateText());
}

CTextReply CRemoteControl::jump(double offset) {
    const double duration = m_transport.durationSeconds() * 1e7;
    if (!m_transport.isFileOpen() || m_session.isAudioCdMode() || duration <= 0) {
        return CTextReply{};
    }
    const double target = std::clamp(m_session.engine().currentPosition() + offset, 0.0, duration);
    // In place: playing goes on playing there, paused stays paused.
    const int result = m_session.control()->seekToPosition(target);
    return reply(result, formatReferenceTime(target));
}

int CRemoteControl::faster(int32_t parameter) {
    if (m_session.isAudioCdMode()) {
        return 0;
    }
    if (parameter == 0) {
        return m_session.control()->play();
    }
    if (parameter != 1) {
        return 0;
    }
    // One step faster, up to below 10; a rate of 0 would stand still and is refused (from -1).
    const double rate = m_session.engine().rate() + 1.0;
    if (rate >= kFastestRate || rate == 0.0) {
        return 0;
    }
    return m_transport.setRate(rate);
}

bool CRemoteControl::hasVideoOpen() const {
    return m_transport.isFileOpen() && m_transport.hasVideo();
}

}  // namespace kivo::remote
