#include "player/transport/window/playercontainers.h"

#include "player/lists/window/mediafinderpanel.h"
#include "player/lists/window/playlistpanel.h"
#include "player/lists/window/repeatsectionpanel.h"
#include "uisupport/hoverbutton.h"
#include "uisupport/panelpage.h"

namespace {

constexpr int kCaptionEditorDialog = 396;
constexpr int kAudioCdDialog = 443;

}  // namespace

CInfoContainerWnd::CInfoContainerWnd(QWidget *owner, CPlayerSession &session,
                                     CPlayerTransport &transport, CPlaylistPlayer &playlist,
                                     std::vector<kivo::lists::CFoundFile> &foundFiles,
                                     QStringList &finderFolders)
    : CContainerWnd(kDialogId, true, owner),
      m_finder(new CMediaFinderPanel(session, playlist, foundFiles, finderFolders)),
      m_playlist(new CPlaylistPanel(session, transport, playlist)),
      m_repeatSections(new CRepeatSectionPanel(session, transport)) {
    addPage(m_finder);
    addPage(m_playlist);
    addPage(m_repeatSections);
    addPage(new CPanelPage(kCaptionEditorDialog, QStringLiteral("캡션 편집")));
    addPage(new CPanelPage(kAudioCdDialog, QStringLiteral("오디오 CD 목록")));
    showPage(kFinderPage);
}

CSceneContainerWnd::CSceneContainerWnd(QWidget *owner, QWidget *sceneTreePage,
                                       QWidget *sceneListPage)
    : CContainerWnd(kDialogId, true, owner) {
    addPage(sceneTreePage);
    addPage(sceneListPage);
    showPage(kSceneTreePage);
}
