// The control panel's commands: buttons, menus and accelerator keys end here.
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "media/grabber/videomanager.h"
#include "media/playback/playbackengine.h"
#include "media/playback/playbackwnd.h"
#include "player/captions/samiconversion.h"
#include "player/captions/samisource.h"
#include "player/channel/projectpages.h"
#include "player/channel/window/aboutdlg.h"
#include "player/scenes/window/scenetreepanel.h"
#include "player/shell/playersettings.h"
#include "player/transport/optionmenustate.h"
#include "player/transport/playeraccelerators.h"
#include "player/transport/playercommands.h"
#include "player/transport/playerfilters.h"
#include "player/transport/window/bufferingtimedlg.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/playermenubuilder.h"
#include "player/transport/window/videownd.h"
#include "scene/scvfile.h"
#include "scene/videodescription.h"
#include "uisupport/asker.h"
#include "uisupport/dlgmanager.h"
#include "uisupport/hoverbutton.h"
#include "uisupport/noticedlg.h"
#include "uisupport/sysinfo.h"
#include "uisupport/textdisplays.h"

using kivo::player::PlayerAction;

int CPlayerDlg::runCommand(int id) {
    const kivo::player::PlayerCommand *command = kivo::player::findPlayerCommand(id);
    if (command == nullptr) {
        return 0;
    }
    switch (command->action) {
        case PlayerAction::Exit:
            exitPlayer();
            return m_exiting ? 1 : 0;
        case PlayerAction::Play:
            return m_transport.play();
        case PlayerAction::PauseToggle:
            return m_transport.pauseToggle();
        case PlayerAction::StopAndRewind:
            return m_transport.stopAndRewind();
        case PlayerAction::FastBackward:
            return m_transport.fastBackward();
        case PlayerAction::FastForward:
            return m_transport.fastForward();
        case PlayerAction::StepBack:
            return m_transport.stepBack();
        case PlayerAction::StepForward:
            return m_transport.stepForward();
        case PlayerAction::SetRate:
            return m_transport.setRate(command->rate);
        case PlayerAction::GoToStart:
            return m_transport.goToStart();
        case PlayerAction::GoToEnd:
            return m_transport.goToEnd();
        case PlayerAction::ZoomIn:
            return m_transport.zoomIn();
        case PlayerAction::ZoomOut:
            return m_transport.zoomOut();
        case PlayerAction::VolumeUp:
            return m_transport.volumeUp();
        case PlayerAction::VolumeDown:
            return m_transport.volumeDown();
        case PlayerAction::FlipSound:
            return m_transport.setSoundOn(!m_transport.isSoundOn());
        case PlayerAction::ShowOptionMenu:
            showOptionMenu();
            return 1;
        case PlayerAction::ToggleVideoWindow:
            if (m_video->isVisible()) {
                m_video->hide();
            } else {
                m_video->showWindow();
            }
            return 1;
        case PlayerAction::MinimizeControlPanel:
            showMinimized();
            return 1;
        case PlayerAction::SwitchTimeDisplay:
            if (m_transport.durationSeconds() <= 0) {
                return 0;
            }
            m_transport.toggleTimeDisplayMode();
            return 1;
        case PlayerAction::CloseFile:
            if (!m_transport.isFileOpen() || m_session.isBusy() || m_session.isAudioCdMode()) {
                return 0;
            }
            closeFile();
            return 1;
        case PlayerAction::NormalPlayMode:
            return switchPlayMode(false);
        case PlayerAction::RepeatPlayMode:
            return switchPlayMode(true);
        case PlayerAction::StopAndHide:
            return stopAndHide();
        case PlayerAction::ArrangePlayer:
            arrangePlayer();
            return 1;
        case PlayerAction::ToggleControlPanel:
            if (!m_video->isVisible()) {
                return 0;
            }
            setVisible(!isVisible());
            return 1;
        case PlayerAction::ToggleTopMost:
            m_settings.topMost = !m_settings.topMost;
            setWindowFlag(Qt::WindowStaysOnTopHint, m_settings.topMost);
            show();
            return 1;
        case PlayerAction::ToggleScreenSaver:
            m_settings.screenSaver = !m_settings.screenSaver;
            m_screenSaver.setAllowed(m_settings.screenSaver);
            return 1;
        case PlayerAction::ToggleMultiPlayerMode:
            toggleMultiPlayer(m_registry);
            return 1;
        case PlayerAction::ToggleSeparateMode:
            m_settings.separateMode = !m_settings.separateMode;
            updateContainerSizing();
            m_video->redock();
            return 1;
        case PlayerAction::OpenFile:
            return openChosenFile();
        case PlayerAction::SaveDescription:
            return saveDescription();
        case PlayerAction::SaveDescriptionAs:
            return saveDescriptionAs();
        case PlayerAction::ToggleCaption:
        case PlayerAction::CaptionBoxTaller:
        case PlayerAction::CaptionBoxShorter:
            return m_video->runCommand(id);
        case PlayerAction::AssignCaptionFile:
            return assignCaptionFile();
        case PlayerAction::ConvertSamiToScv:
            return convertSamiToScv();
        case PlayerAction::AssignMediaFile:
            return assignMediaFile();
        case PlayerAction::StartSegmenter:
            return startSegmenter();
        case PlayerAction::HomePage:
            return openHomePage();
        case PlayerAction::Help:
            return openHelp();
        case PlayerAction::BufferingTimeDialog: {
            CBufferingTimeDlg dialog(m_settings.bufferingTime, this);
            if (dialog.exec() != QDialog::Accepted) {
                return 0;
            }
            m_settings.bufferingTime = dialog.seconds();
            m_session.engine().setBufferingTime(dialog.seconds());
            return 1;
        }
        case PlayerAction::Next:
        case PlayerAction::Previous:
            if (m_session.isAudioCdMode()) {
                return command->action == PlayerAction::Next ? m_transport.fastForward()
                                                             : m_transport.fastBackward();
            }
            if (m_session.isBusy() || m_playlist.playlist().size() < 2) {
                return 0;
            }
            return command->action == PlayerAction::Next ? m_playlist.playNext()
                                                         : m_playlist.playPrevious();
        case PlayerAction::SceneSplit:
            // A new scene at the frame on screen, as the scene tree's own add button does it.
            return m_transport.isFileOpen() ? m_sceneTree->runCommand(CSceneTreePanel::kAddButton)
                                            : 0;
        case PlayerAction::BasicTree:
            return m_sceneTree->runBasicTree(true);
        case PlayerAction::ToggleChannelBrowser:
            return m_channel->toggleShown();
        case PlayerAction::About:
            CAboutDlg(kivo::channel::homePage(QCoreApplication::applicationDirPath()), this).exec();
            return 1;
        case PlayerAction::FullVideo:
            return m_video->toggleFullVideo();
        case PlayerAction::FullScreen:
            return m_video->toggleEngineFullScreen();
        case PlayerAction::FileAssociationDialog:
            if (!m_associationDialog) {
                return 0;
            }
            m_associationDialog(this);
            return 1;
        default:
            return 0;
    }
}

int CPlayerDlg::openChosenFile() {
    kivo::ui::CFileRequest request;
    request.caption = QStringLiteral("KIVO Player_파일열기");
    request.filter = kivo::player::mediaFilter();
    request.recentAddresses = &m_settings.recentAddresses;
    const QString chosen = kivo::ui::openFileName(this, request);
    if (chosen.isEmpty()) {
        return 0;
    }
    // A file the user chose plays by itself: the queue and CD playback are left.
    m_session.setAudioCdMode(false);
    m_playlist.leave();
    return openFile(chosen, true);
}

int CPlayerDlg::assignCaptionFile() {
    if (m_transport.isFileOpen()) {
        return 0;
    }
    kivo::ui::CFileRequest request;
    request.caption = QStringLiteral("KIVO Player_SMI 파일열기");
    request.filter = QStringLiteral("SMI 파일 (*.smi)|*.smi;|");
    request.recentAddresses = &m_settings.recentAddresses;
    const QString chosen = kivo::ui::openFileName(this, request);
    if (chosen.isEmpty()) {
        return 0;
    }
    m_session.engine().setSecondPath(chosen);
    return 1;
}

QString CPlayerDlg::askForMedia() {
    kivo::ui::CFileRequest request;
    request.caption = QStringLiteral("KIVO Player_비디오 파일 지정");
    request.filter = kivo::player::mediaFilter(true);
    request.recentAddresses = &m_settings.recentAddresses;
    return kivo::ui::openFileName(this, request);
}

int CPlayerDlg::convertSamiToScv() {
    if (m_transport.isFileOpen()) {
        return 0;
    }
    kivo::ui::CFileRequest samiRequest;
    samiRequest.caption = QStringLiteral("KIVO Player_SMI 파일열기");
    samiRequest.filter = QStringLiteral("SMI 파일 (*.smi)|*.smi;|");
    samiRequest.recentAddresses = &m_settings.recentAddresses;
    const QString sami = kivo::ui::openFileName(this, samiRequest);
    if (sami.isEmpty()) {
        return 0;
    }
    // Reading a large file or a download takes a moment: the notice says so meanwhile.
    std::optional<std::vector<kivo::captions::CSamiEntry>> entries;
    {
        CNoticeDlg reading(QStringLiteral("파일 변환중입니다. 잠시만 기다려 주세요..."), this);
        reading.setAutoClose(false);
        reading.show();
        entries = kivo::captions::loadSami(sami);
    }
    if (!entries) {
        kivo::ui::messageBox(this, QString::fromUtf8(kivo::captions::kSamiReadFailedMessage));
        return 0;
    }
    const QString media = askForMedia();
    if (media.isEmpty()) {
        return 0;
    }
    kivo::ui::CFileRequest scvRequest;
    scvRequest.save = true;
    scvRequest.caption = QStringLiteral("KIVO Player_SCV 파일저장");
    scvRequest.filter = kivo::player::sceneSaveFilter();
    scvRequest.defaultExtension = QStringLiteral("scv");
    const QString scv = kivo::ui::saveFileName(this, scvRequest);
    if (scv.isEmpty()) {
        return 0;
    }
    const std::unique_ptr<CVideoDescription> converted =
        kivo::captions::descriptionFromSami(*entries, media.toStdString());
    if (saveScv(*converted, QFile::encodeName(scv).toStdString()) != 1) {
        kivo::ui::messageBox(this, QString::fromUtf8(kivo::captions::kConversionSaveFailedMessage));
        return 0;
    }
    kivo::ui::notice(this, QStringLiteral("정상적으로 저장되었습니다."));
    return 1;
}

int CPlayerDlg::assignMediaFile() {
    if (m_transport.isFileOpen()) {
        // The open file's description names the new video, is saved, and opens again.
        CVideoDescription *description = m_session.description();
        if (!isOpenedFromSceneFile() || description == nullptr) {
            return 0;
        }
        const QString media = askForMedia();
        if (media.isEmpty()) {
            return 0;
        }
        description->setMediaPath(media.toStdString());
        const QString scv = m_openPath;
        return saveDescriptionTo(scv) == 1 ? openFile(scv, true) : 0;
    }
    kivo::ui::CFileRequest scvRequest;
    scvRequest.caption = QStringLiteral("KIVO Player_SCV파일 열기");
    scvRequest.filter = kivo::player::sceneOpenFilter();
    const QString scv = kivo::ui::openFileName(this, scvRequest);
    if (scv.isEmpty()) {
        return 0;
    }
    const QString media = askForMedia();
    if (media.isEmpty() || QFileInfo(scv).size() == 0) {
        return 0;
    }
    CVideoDescription description;
    const std::string scvPath = QFile::encodeName(scv).toStdString();
    if (loadScv(scvPath, description) != ScvReadResult::Ok) {
        kivo::ui::messageBox(this, QStringLiteral("SCV 파일을 읽는 도중에 오류가 발생했습니다."));
        return 0;
    }
    description.setMediaPath(media.toStdString());
    if (saveScv(description, scvPath) != 1) {
        kivo::ui::messageBox(this, QStringLiteral("저장에 실패했습니다. 다시 시도하세요"));
        return 0;
    }
    if (kivo::ui::messageBox(this,
                             QStringLiteral("비디오 파일이 정상적으로 지정되었습니다.\n지금 "
                                            "파일을 여시겠습니까?"),
                             kivo::ui::MessageButtons::YesNo,
                             kivo::ui::MessageIcon::Question) == kivo::ui::kAnswerYes) {
        openFile(scv, true);
    }
    return 1;
}

int CPlayerDlg::startSegmenter() {
    // Beside the player, then where the build puts it, then on the PATH (installed).
    const QString folder = QCoreApplication::applicationDirPath();
    QString program;
    for (const QString &candidate :
         {folder + QStringLiteral("/KIVOS"), folder + QStringLiteral("/" KIVO_SEGMENTER_IN_BUILD),
          QStandardPaths::findExecutable(QStringLiteral("KIVOS"))}) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isExecutable()) {
            program = candidate;
            break;
        }
    }
    if (program.isEmpty() || !QProcess::startDetached(program, {})) {
        kivo::ui::messageBox(this, QStringLiteral("자동분할 프로그램을 실행하는데 오류가 "
                                                  "발생했습니다.\n프로그램(KIVOS.exe)이 "
                                                  "삭제됐는지 확인하세요"));
        return 0;
    }
    return 1;
}

int CPlayerDlg::openHelp() {
    const QString guide = kivo::channel::userGuide(QCoreApplication::applicationDirPath());
    if (!guide.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(guide))) {
        return 1;
    }
    kivo::ui::messageBox(this, QStringLiteral("KIVO 도움말 파일(KIVOHelp.chm)을 실행하는데 오류가 "
                                              "발생했습니다.\n파일이 삭제됐는지 확인하세요"));
    return 0;
}

int CPlayerDlg::openHomePage() {
    const QUrl address = kivo::channel::homePage(QCoreApplication::applicationDirPath());
    if (!address.isValid() || !QDesktopServices::openUrl(address)) {
        kivo::ui::messageBox(this, QStringLiteral("(주) KIVO 홈페이지에 연결하는데 실패했습니다."));
        return 0;
    }
    return 1;
}

int CPlayerDlg::runAccelerator(QKeyCombination key) {
    const int id = kivo::player::acceleratorCommand(key);
    const kivo::player::PlayerCommand *command = kivo::player::findPlayerCommand(id);
    if (command == nullptr) {
        return 0;
    }
    // A key whose button is greyed does nothing, though the button's own click might.
    if (command->gateButton != 0 && !isButtonEnabled(command->gateButton)) {
        return 1;
    }
    runCommand(id);
    return 1;
}

bool CPlayerDlg::isButtonEnabled(int buttonId) const {
    const COVHoverButton *gate = button(buttonId);
    return gate != nullptr && gate->isEnabled();
}

kivo::player::OptionMenuInput CPlayerDlg::optionMenuInput() {
    kivo::player::OptionMenuInput input;
    const CVideoDescription *description = m_session.description();
    input.fileOpen = m_transport.isFileOpen();
    input.openedFromScv = isOpenedFromSceneFile();
    input.hasDescription = description != nullptr;
    input.grabberOpen = m_session.grabber().isOpen();
    input.repeatPlayMode = m_transport.isRepeatMode();
    input.hasRepeatSections = description && !description->repeatSections().empty();
    input.topMost = m_settings.topMost;
    input.separateMode = m_settings.separateMode;
    input.multiPlayerMode = isMultiPlayer(m_registry);
    input.screenSaverAllowed = m_settings.screenSaver;
    return input;
}

void CPlayerDlg::showOptionMenu() {
    const std::unique_ptr<QMenu> menu =
        buildPlayerMenu(*kivo::player::playerMenu(kivo::player::kOptionMenu),
                        kivo::player::optionMenuState(optionMenuInput()), this);
    runMenu(*menu, m_optionMenuAnchor ? m_optionMenuAnchor->geometry() : QRect());
}

void CPlayerDlg::showRateMenu(int buttonId, const QRect &button) {
    const std::unique_ptr<QMenu> menu =
        buildPlayerMenu(*kivo::player::playerMenu(kivo::player::rateMenuOfButton(buttonId)),
                        kivo::player::CMenuState(), this);
    runMenu(*menu, button);
}

void CPlayerDlg::runMenu(QMenu &menu, const QRect &beside) {
    // Beside the button: one pixel right of it, one above its top.
    const QPoint where = mapToGlobal(QPoint(beside.right() + 1, beside.top() - 1));
    if (const QAction *chosen = menu.exec(where); chosen && chosen->data().isValid()) {
        runCommand(chosen->data().toInt());
    }
}

int CPlayerDlg::switchPlayMode(bool repeat) {
    if (repeat == m_transport.isRepeatMode()) {
        return 0;
    }
    const CVideoDescription *description = m_session.description();
    if (repeat &&
        (!m_transport.isFileOpen() || !description || description->repeatSections().empty())) {
        return 0;
    }
    if (m_session.playState() == CPlayerSession::kPlaying) {
        const QString question =
            repeat ? QStringLiteral("현재 정상재생 중입니다. 반복재생으로 전환할까요?")
                   : QStringLiteral("현재 반복재생 중입니다. 정상재생으로 전환할까요?");
        if (kivo::ui::messageBox(this, question, kivo::ui::MessageButtons::YesNo,
                                 kivo::ui::MessageIcon::Question) != kivo::ui::kAnswerYes) {
            return 0;
        }
    }
    if (repeat) {
        return m_transport.resumeRepeatPlayback();
    }
    m_transport.setRepeatMode(false);
    return 1;
}

void CPlayerDlg::arrangePlayer() {
    // The video window at its size within 240 x 240 and the work area, centred; the panel at
    // its own size just below it.
    const QRect workArea = COVSysInfo::getWorkArea(this);
    const QSize size =
        m_video->size().expandedTo(kVideoMinimum).boundedTo(workArea.size() - QSize(0, height()));
    COVDlgManager::centerDlg(m_video.get(), size.width(), size.height());
    COVDlgManager::setDlgPos(this, m_video.get(), kBelowVideoCentred);
}

int CPlayerDlg::stopAndHide() {
    if (!m_transport.isFileOpen()) {
        return 0;
    }
    const int state = m_session.playState();
    if (state == CPlayerSession::kStopped || state == CPlayerSession::kPaused) {
        m_video->showWindow();
        return m_transport.play();
    }
    m_transport.stopWithoutRewinding();
    m_video->hide();
    return 1;
}

bool CPlayerDlg::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_video.get() &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        updateContainerSizing();
    }
    // A click on the time display switches elapsed and remaining time.
    if (watched == m_time && event->type() == QEvent::MouseButtonPress) {
        runCommand(kivo::player::kTimeDisplay);
        return true;
    }
    // The accelerator keys work in every window of the player, before the window's own keys,
    // but not in a question or dialog that is open above it.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        QApplication::activeModalWidget() == nullptr) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QWidget *window = static_cast<QWidget *>(watched)->window();
        if ((window == this || m_video->isPlayerWindow(window) || window == m_info ||
             window == m_scenes) &&
            runAccelerator(key->keyCombination())) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
