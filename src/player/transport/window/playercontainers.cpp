#include "player/transport/window/playercontainers.h"

#include "player/captions/window/captioneditpanel.h"
#include "player/lists/window/audiocdpanel.h"
#include "player/lists/window/mediafinderpanel.h"
#include "player/lists/window/playlistpanel.h"
#include "player/lists/window/repeatsectionpanel.h"
#include "uisupport/hoverbutton.h"
#include "uisupport/panelpage.h"

namespace {


}  // namespace

CInfoContainerWnd::CInfoContainerWnd(QWidget *owner, CPlayerSession &session,
                                     CPlayerTransport &transport, CPlaylistPlayer &playlist,
                                     std::vector<kivo::lists::CFoundFile> &foundFiles,
                                     QStringList &finderFolders, const QString &cdSource)
    : CContainerWnd(kDialogId, true, owner),
      m_finder(new CMediaFinderPanel(session, playlist, foundFiles, finderFolders)),
      m_playlist(new CPlaylistPanel(session, transport, playlist)),
      m_repeatSections(new CRepeatSectionPanel(session, transport)),
      m_captionEditor(new CCaptionEditPanel(session)),
      m_audioCd(new CAudioCdPanel(session, transport, cdSource)) {
    addPage(m_finder);
    addPage(m_playlist);
    addPage(m_repeatSections);
    addPage(m_captionEditor);
    addPage(m_audioCd);
    showPage(kFinderPage);
}

CSceneContainerWnd::CSceneContainerWnd(QWidget *owner, QWidget *sceneTreePage,
                                       QWidget *sceneListPage)
    : CContainerWnd(kDialogId, true, owner) {
    addPage(sceneTreePage);
    addPage(sceneListPage);
    showPage(kSceneTreePage);
}
