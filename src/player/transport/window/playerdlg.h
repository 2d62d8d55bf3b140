#pragma once

#include <QDialog>
#include <QKeyCombination>
#include <QPixmap>
#include <QSize>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

#include "player/lists/foundfiles.h"
#include "player/shell/fileassociations.h"
#include "player/shell/playersettings.h"
#include "player/shell/screensaverinhibitor.h"
#include "player/transport/metafilelistplayer.h"
#include "player/transport/optionmenustate.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"
#include "player/transport/playlistplayer.h"
#include "uisupport/magnet.h"
#include "uisupport/snapatrest.h"

class CChannelWnd;
class CInfoContainerWnd;
class CVideoDescription;
class CSceneContainerWnd;
class CSceneListPanel;
class CSceneTreePanel;
class CVideoWnd;
class COVRegistry;
class COVHoverButton;
class COVMsgST;
class COVTimerST;
class COVTSlider;
class QMenu;

// The control panel: the player's main window for the life of the process, and the owner of the
// open file's session. It loads the settings when it starts and writes them all, with the
// window placements, when it ends; the process ends with it.
class CPlayerDlg : public QDialog, public IPlayerControl {
    Q_OBJECT

public:
    static constexpr int kDialogId = 102;
    static constexpr QSize kVideoMinimum{240, 240};
    // Where the panel docks to the video window: below it, centred, kept on the work area.
    static constexpr int kBelowVideoCentred = 0x03;

    // commandLinePaths: the files the program was started with (the first is opened).
    CPlayerDlg(COVRegistry &registry, QStringList commandLinePaths, QWidget *parent = nullptr);
    ~CPlayerDlg() override;

    CPlayerSession &session() { return m_session; }
    CPlayerTransport &transport() { return m_transport; }
    CPlaylistPlayer &playlistPlayer() { return m_playlist; }
    std::vector<kivo::lists::CFoundFile> &foundFiles() { return m_foundFiles; }
    const CPlayerSettings &settings() const { return m_settings; }
    CVideoWnd &videoWindow() { return *m_video; }
    CInfoContainerWnd *infoContainer() const { return m_info; }
    CSceneContainerWnd *sceneContainer() const { return m_scenes; }
    CSceneTreePanel *sceneTreePanel() const { return m_sceneTree; }
    CSceneListPanel *sceneListPanel() const { return m_sceneList; }
    CChannelWnd *channelWindow() const { return m_channel; }
    const COVMagnet &magnet() const { return m_magnet; }

    // Opens a media file, an address or a scene-description file; with play, playback starts
    // at once. 1 when open; 0 after a failure, which leaves the panel empty.
    int openFile(const QString &path, bool play) override;

    // What the other windows of the player ask of the control panel.
    int play() override { return m_transport.play(); }
    int pause() override { return m_transport.pauseToggle(); }
    int stop() override { return m_transport.stopAndRewind(); }
    int seekToFrame(double frame) override { return m_transport.seekToFrame(frame); }
    int seekToPosition(double position) override { return m_transport.seekToTime(position); }
    // The description goes back into the scene file it came from, or into one the user names;
    // a notice says it is saved, a message that it is not.
    int saveDescription() override;
    // Always asks for the scene file, proposing the media's name with ".scv".
    int saveDescriptionAs();
    void showPlayState(const QString &text) override;
    int arrangeWindow(EWindowRequest request) override;
    QString stateText() const override;
    // Closes the open file and empties the panel.
    void closeFile();

    // The hand-off of a second start: comes to the front and opens the files it was handed
    // (played at once). 0 when a file is being opened; -1 when there was none (the panel only
    // came to the front). A hand-off that arrives while a question of the player is open waits
    // until the question is answered.
    int receiveHandOff(const QStringList &paths);

    // Runs a command of the panel's table (button, menu item, accelerator): 1 when done, 0 when
    // its preconditions fail or the panel does not offer it.
    int runCommand(int id) override;
    // An accelerator key: 1 when it is one of the player's (done, or ignored because its
    // button is greyed), 0 for any other key.
    int runAccelerator(QKeyCombination key);
    bool isButtonEnabled(int buttonId) const;
    // The open file came from a scene-description file.
    bool isOpenedFromSceneFile() const;
    // The panel's button of a control id (1001 exit, 1015 play, ...), or null.
    COVHoverButton *button(int controlId) const;
    // The audio-CD track under a point of the panel (1 to 15), or 0.
    static int trackAt(QPoint point);
    kivo::player::OptionMenuInput optionMenuInput();
    // The dialogs of the player's shell, which the shell hands in.
    void setAssociationDialog(std::function<void(QWidget *parent)> run) {
        m_associationDialog = std::move(run);
    }

    // Ends the player: stops and closes the file, stores the placements and the settings, lets
    // the screen saver come again, and closes the panel.
    void exitPlayer();

signals:
    // The open file changed (a file opened, or the panel emptied).
    void fileChanged(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void reject() override;

private:
    void setUpPanel();
    void createSatellites();
    void restoreContainerPlacement(QWidget &container, const QString &name);
    // Docked beside a visible video window, a container is sized at its outer border only.
    void updateContainerSizing();
    void followTransport();
    void showTooltips(bool audioCd);
    // The audio-CD page drives the transport in audio-CD mode; the panel's face follows the mode.
    void setUpAudioCd();
    void audioCdModeChanged(bool on);
    // KIVO_CDROM_DEVICE, else the settings' drive or image.
    QString audioCdSource() const;
    void restorePlacements();
    void storePlacements();
    void reset();
    void showFileInfo(const QString &path);
    void openWhenNoQuestionIsOpen(const QString &path);
    // A scene file's scenes get their pictures once before the scene container shows them.
    int prepareScenePictures();
    int openSceneFile(const QString &path, bool play, quint64 generation);
    // Opens media (openedPath names it in the title: the scene file it came from, or itself)
    // with its description (none: a new, empty one). 0 when the engine cannot open it.
    int openMedia(const QString &media, const QString &openedPath,
                  std::unique_ptr<CVideoDescription> description, bool play, quint64 generation);
    void loadLists();
    void saveLists();
    // Dropped files join the playlist and play as its queue; unsupported ones are refused.
    void playDroppedFiles(const QStringList &paths);
    void showOptionMenu();
    void showRateMenu(int buttonId, const QRect &button);
    void runMenu(QMenu &menu, const QRect &beside);
    int switchPlayMode(bool repeat);
    // The open dialog (with its address row); the choice plays at once.
    int openChosenFile();
    int saveDescriptionTo(const QString &path);
    int assignCaptionFile();
    // The open dialog for a video (media only; an address counts).
    QString askForMedia();
    int convertSamiToScv();
    int assignMediaFile();
    int startSegmenter();
    int openHomePage();
    int openHelp();
    int stopAndHide();
    void arrangePlayer();

    COVRegistry &m_registry;
    // mms:// addresses open in the player for as long as its control panel lives.
    kivo::shell::CMmsTakeover m_mmsTakeover;
    CPlayerSettings m_settings;
    CScreenSaverInhibitor m_screenSaver;
    CPlayerSession m_session;
    CPlayerTransport m_transport{m_session};
    CPlaylistPlayer m_playlist{m_session};
    CMetafileListPlayer m_metafile{m_session};
    std::vector<kivo::lists::CFoundFile> m_foundFiles;
    std::unique_ptr<CVideoWnd> m_video;
    CInfoContainerWnd *m_info = nullptr;
    CSceneContainerWnd *m_scenes = nullptr;
    CSceneTreePanel *m_sceneTree = nullptr;
    CSceneListPanel *m_sceneList = nullptr;
    CChannelWnd *m_channel = nullptr;
    COVMagnet m_magnet;
    COVSnapAtRest m_snapAtRest{m_magnet};
    QPixmap m_background;
    std::array<COVHoverButton *, 14> m_buttons{};
    COVTimerST *m_time = nullptr;
    COVMsgST *m_fileInfo = nullptr;
    COVMsgST *m_playState = nullptr;
    COVTSlider *m_volume = nullptr;
    COVTSlider *m_position = nullptr;
    QString m_openPath;
    quint64 m_openGeneration = 0;
    QWidget *m_optionMenuAnchor = nullptr;
    std::function<void(QWidget *parent)> m_associationDialog;
    bool m_exiting = false;
};
