// What other programs ask of the control panel beyond its own commands: the windows and pages
// they show or hide, and the state text they read.
#include "player/transport/videoplacement.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/videownd.h"
#include "uisupport/dlgmanager.h"

namespace {

// A hidden container comes back where the video window's own buttons put it: docked beside a
// visible video window, or where it was last.
void showContainer(CContainerWnd &container, int page, const QWidget &video, bool docked, int width,
                   bool left) {
    container.showPage(page);
    if (container.isVisible()) {
        return;
    }
    container.show();
    if (docked && video.isVisible()) {
        const QRect window = COVDlgManager::frameRect(&video);
        COVDlgManager::setFrameRect(&container,
                                    left ? kivo::player::video::dockedLeft(window, width)
                                         : kivo::player::video::dockedRight(window, width));
    }
}

}  // namespace

int CPlayerDlg::arrangeWindow(EWindowRequest request) {
    const bool docked = !m_settings.separateMode;
    switch (request) {
        case EWindowRequest::FinderPage:
            showContainer(*m_info, CInfoContainerWnd::kFinderPage, *m_video, docked,
                          m_settings.infoWidth, true);
            return 1;
        case EWindowRequest::PlaylistPage:
            showContainer(*m_info, CInfoContainerWnd::kPlaylistPage, *m_video, docked,
                          m_settings.infoWidth, true);
            return 1;
        case EWindowRequest::SceneTreePage:
            showContainer(*m_scenes, CSceneContainerWnd::kSceneTreePage, *m_video, docked,
                          m_settings.info2Width, false);
            return 1;
        case EWindowRequest::HideInformation:
            m_info->hide();
            return 1;
        case EWindowRequest::MaximizeVideo:
            m_video->maximise();
            return 1;
        case EWindowRequest::HideVideo:
            m_video->hide();
            return 1;
        case EWindowRequest::RaiseControlPanel:
            showNormal();
            raise();
            activateWindow();
            return 1;
    }
    return 0;
}

QString CPlayerDlg::stateText() const {
    if (m_session.isAudioCdMode()) {
        return QStringLiteral("트랙 %1").arg(m_session.audioCdTrack());
    }
    return m_openPath;
}
