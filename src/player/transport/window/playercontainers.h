#pragma once

#include <QStringList>

#include <vector>

#include "player/channel/window/channelwnd.h"
#include "player/lists/foundfiles.h"
#include "uisupport/containerwnd.h"

class CCaptionEditPanel;
class CAudioCdPanel;
class CMediaFinderPanel;
class CPlayerSession;
class CPlayerTransport;
class CPlaylistPanel;
class CPlaylistPlayer;
class CRepeatSectionPanel;

// The player's two container windows, owned by the control panel and created once with it (with
// the channel window, channelwnd.h). Each names its pages in their paging order.

// The information window: finder, playlist, repeat sections, caption editor and audio CDs.
class CInfoContainerWnd : public CContainerWnd {
    Q_OBJECT

public:
    static constexpr int kDialogId = 293;
    enum Page { kFinderPage, kPlaylistPage, kRepeatSectionPage, kCaptionEditorPage, kAudioCdPage };

    // The lists the pages work on: the playlist player's, the found files and the searched
    // folders (the control panel's, kept between runs); the CD drive or image of the audio-CD
    // page (empty: the first drive found).
    CInfoContainerWnd(QWidget *owner, CPlayerSession &session, CPlayerTransport &transport,
                      CPlaylistPlayer &playlist, std::vector<kivo::lists::CFoundFile> &foundFiles,
                      QStringList &finderFolders, const QString &cdSource = {});

    CMediaFinderPanel *finderPanel() const { return m_finder; }
    CPlaylistPanel *playlistPanel() const { return m_playlist; }
    CRepeatSectionPanel *repeatSectionPanel() const { return m_repeatSections; }
    CCaptionEditPanel *captionEditPanel() const { return m_captionEditor; }
    CAudioCdPanel *audioCdPanel() const { return m_audioCd; }

private:
    CMediaFinderPanel *m_finder;
    CPlaylistPanel *m_playlist;
    CRepeatSectionPanel *m_repeatSections;
    CCaptionEditPanel *m_captionEditor;
    CAudioCdPanel *m_audioCd;
};

// The scene window: the scene tree and the frame strip.
class CSceneContainerWnd : public CContainerWnd {
    Q_OBJECT

public:
    static constexpr int kDialogId = 368;
    enum Page { kSceneTreePage, kSceneListPage };

    CSceneContainerWnd(QWidget *owner, QWidget *sceneTreePage, QWidget *sceneListPage);
};
