#include "player/transport/window/playerdlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "media/playback/playbackengine.h"
#include "media/playback/playbackwnd.h"
#include "platform/log.h"
#include "platform/soundoutput.h"
#include "player/captions/captiontrack.h"
#include "player/captions/window/captionboxwnd.h"
#include "player/lists/playlistfile.h"
#include "player/scenes/window/scenelistpanel.h"
#include "player/scenes/window/scenetreepanel.h"
#include "player/transport/playerfilters.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/videownd.h"
#include "scene/mediapath.h"
#include "scene/scvfile.h"
#include "scene/videodescription.h"
#include "uisupport/asker.h"
#include "uisupport/dlgmanager.h"
#include "uisupport/panelart.h"
#include "uisupport/registry.h"
#include "uisupport/sysinfo.h"
#include "uisupport/textdisplays.h"

namespace {

constexpr char kLogCategory[] = "player";
const QString kTitle = QStringLiteral("KIVO Player");
constexpr QSize kVideoDefault(480, 360);
constexpr QSize kContainerMinimum(CContainerWnd::kMinimumWidth, 200);
// Above the control panel, centred on it.
constexpr int kVideoAbovePanel = 0x31;
const QString kPlaylistFile = QStringLiteral("playlist.mpl");
const QString kFoundFilesFile = QStringLiteral("filelist.mfl");
// How often a hand-off that waits for an open question looks again.
constexpr int kQuestionPollMs = 100;

// A window's stored placement brought back on the screen, or false when none is stored.
bool restorePlacement(COVRegistry &registry, const QString &name, QWidget &window, QSize minimum,
                      bool sizeRestorable) {
    CWindowPlacement placement;
    if (!registry.getDlgPosInfo(name, placement)) {
        return false;
    }
    const std::optional<QRect> frame = restoredPlacement(
        placement.normalPosition, COVSysInfo::getWorkArea(&window), minimum, sizeRestorable);
    COVDlgManager::setFrameRect(&window, *frame);
    return true;
}

// The wait cursor for as long as a file is being opened, whichever way the open ends.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor &) = delete;
    CWaitCursor &operator=(const CWaitCursor &) = delete;
};

bool isSceneFile(const QString &path) {
    return path.endsWith(QStringLiteral(".scv"), Qt::CaseInsensitive);
}

QString titleFor(const QString &path) {
    return kTitle + u'_' + QFileInfo(path).completeBaseName().toUpper();
}

}  // namespace

CPlayerDlg::CPlayerDlg(COVRegistry &registry, QStringList commandLinePaths, QWidget *parent)
    : QDialog(parent), m_registry(registry) {
    setWindowTitle(kTitle);
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));

    m_settings = loadPlayerSettings(m_registry);
    m_screenSaver.setAllowed(m_settings.screenSaver);

    setAcceptDrops(true);
    qApp->installEventFilter(this);
    setUpPanel();
    m_session.setControl(this);
    // A SAMI caption file reaches the engine as our reader sees it: one language, not the
    // engine's interleaving of every section.
    m_session.engine().setCaptionFileConverter([](const QString &captions) {
        return kivo::captions::writeCaptionTrack(captions, kivo::captions::captionTrackFolder());
    });
    // The volume slider starts at 90 where there is a sound output, at 0 elsewhere.
    m_transport.volumeSliderMoved(kivo::hasSoundOutput() ? 90 : 0);

    // The video window relays the engine's ticks and completion to the transport.
    m_video = std::make_unique<CVideoWnd>(m_session, m_transport, m_settings, this);
    m_video->setUpCaptionBox(m_registry);
    m_transport.setSizeRate(m_settings.sizeRate);
    // The list pages are built from the lists.
    loadLists();
    createSatellites();
    m_transport.setPlaylist(&m_playlist);
    m_transport.setMetafileList(&m_metafile);
    setUpAudioCd();

    reset();
    if (!restorePlacement(m_registry, QStringLiteral("Main"), *this, kivo::skin::panel::kSize,
                          false)) {
        COVDlgManager::centerDlg2(this, 0, 100);
    }
    if (!restorePlacement(m_registry, QStringLiteral("View"), *m_video, kVideoMinimum, true)) {
        m_video->resize(kVideoDefault);
        COVDlgManager::setDlgPos(m_video.get(), this, kVideoAbovePanel);
    }
    restoreContainerPlacement(*m_info, QStringLiteral("InfoDlg"));
    restoreContainerPlacement(*m_scenes, QStringLiteral("InfoDlg2"));
    if (!restorePlacement(m_registry, QStringLiteral("Browser"), *m_channel, CChannelWnd::kMinimum,
                          true)) {
        COVDlgManager::centerDlg(m_channel, CChannelWnd::kMaximum.width(),
                                 CChannelWnd::kMaximum.height());
    }
    if (!commandLinePaths.isEmpty()) {
        const QString path = commandLinePaths.first();
        QTimer::singleShot(0, this, [this, path] { openFile(path, true); });
    }
    if (m_settings.topMost) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
}

void CPlayerDlg::createSatellites() {
    m_info = new CInfoContainerWnd(this, m_session, m_transport, m_playlist, m_foundFiles,
                                   m_settings.finderFolders, audioCdSource());
    m_sceneTree = new CSceneTreePanel(m_session, static_cast<float>(m_settings.treeSizeRate));
    m_sceneList = new CSceneListPanel(m_session, static_cast<float>(m_settings.listSizeRate),
                                      &m_sceneTree->tree());
    m_scenes = new CSceneContainerWnd(this, m_sceneTree, m_sceneList);
    m_channel = new CChannelWnd(this, *this, QCoreApplication::applicationDirPath());
    m_magnet.addDlg(this, COVMagnet::kSnapToWorkArea | COVMagnet::kSnapToWindows);
    for (QWidget *satellite :
         {static_cast<QWidget *>(m_video.get()), static_cast<QWidget *>(m_info),
          static_cast<QWidget *>(m_scenes), static_cast<QWidget *>(m_channel)}) {
        m_magnet.addDlg(satellite);
    }
    for (CContainerWnd *window :
         {static_cast<CContainerWnd *>(m_info), static_cast<CContainerWnd *>(m_scenes),
          static_cast<CContainerWnd *>(m_channel)}) {
        connect(window, &CContainerWnd::userMoveStarted, this,
                [this, window](Qt::Edges edges) { m_snapAtRest.follow(window, edges); });
    }
    connect(m_channel, &CContainerWnd::closedByUser, this, [this] {
        COVDlgManager::setDlgPosInfo(m_registry, QStringLiteral("Browser"), m_channel);
    });
    m_video->installEventFilter(this);
    m_video->setDockedContainers(m_info, m_scenes);
    m_video->setScenePicturePreparation([this] { return prepareScenePictures(); });
    updateContainerSizing();
}

void CPlayerDlg::restoreContainerPlacement(QWidget &container, const QString &name) {
    if (!restorePlacement(m_registry, name, container, kContainerMinimum, true)) {
        COVDlgManager::centerDlg(&container, kContainerMinimum.width(), kContainerMinimum.height());
    }
}

void CPlayerDlg::updateContainerSizing() {
    constexpr Qt::Edges kAll = Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge;
    const bool docked = !m_settings.separateMode && m_video->isVisible();
    m_info->setSizableEdges(docked ? Qt::Edges(Qt::LeftEdge) : kAll);
    m_scenes->setSizableEdges(docked ? Qt::Edges(Qt::RightEdge) : kAll);
}

CPlayerDlg::~CPlayerDlg() {
    // The video window shows the session's engine: it goes first.
    m_video.reset();
}

void CPlayerDlg::reset() {
    m_openPath.clear();
    m_transport.reset();
    m_fileInfo->setMessage(QStringLiteral("열린 파일이 없습니다."));
    setWindowTitle(kTitle);
    m_video->setFullVideo(false);
    m_video->hide();
    m_video->setEnabled(false);
    m_scenes->showPage(CSceneContainerWnd::kSceneTreePage);
    emit fileChanged(QString());
}

void CPlayerDlg::closeFile() {
    m_session.closeFile();
    reset();
}

int CPlayerDlg::openFile(const QString &path, bool play) {
    const CWaitCursor waiting;
    const quint64 generation = ++m_openGeneration;
    if (m_transport.isFileOpen()) {
        m_transport.stopWithoutRewinding();
        closeFile();
    } else {
        // Nothing to close: a caption file assigned for the next open stays with the engine.
        reset();
    }
    showPlayState(QStringLiteral("미디어에 연결중.."));
    if (isSceneFile(path)) {
        return openSceneFile(path, play, generation);
    }
    QString media = path;
    if (!m_metafile.isActive() && CPlaybackEngine::isPlaylist(path) &&
        !m_metafile.start(path, &media)) {
        kivo::ui::messageBox(this, QStringLiteral("파일을 여는데 실패했습니다."));
        return 0;
    }
    // An entry of a list that does not open gives way to its backup address or the next entry.
    while (openMedia(media, media, nullptr, play, generation) != 1) {
        if (generation != m_openGeneration) {
            // Another open (a hand-off) came while this one loaded and took its place.
            return 0;
        }
        if (!m_metafile.nextToTry(&media)) {
            m_metafile.clear();
            reset();
            kivo::ui::messageBox(this, QStringLiteral("파일을 여는데 실패했습니다."));
            return 0;
        }
    }
    if (m_metafile.isActive() && m_metafile.entryStart() > 0) {
        m_transport.seekToTime(m_metafile.entryStart());
    }
    return 1;
}

int CPlayerDlg::openSceneFile(const QString &path, bool play, quint64 generation) {
    auto description = std::make_unique<CVideoDescription>();
    const std::string scvPath = QFile::encodeName(path).toStdString();
    if (QFileInfo(path).size() == 0) {
        // Missing, unreadable or empty: nothing to open.
        reset();
        return 0;
    }
    if (loadScv(scvPath, *description) != ScvReadResult::Ok) {
        reset();
        kivo::ui::messageBox(this,
                             QStringLiteral("SCV 파일을 읽는 도중에 실패했습니다.\nSCV 파일이 "
                                            "손상됐거나 오래된 버전일 수 있습니다."));
        return 0;
    }
    if (description->mediaPath().empty()) {
        reset();
        return 0;
    }
    const QString media = QString::fromStdString(
        toLocalSeparators(resolveMediaPath(description->mediaPath(), scvPath)));
    if (openMedia(media, path, std::move(description), play, generation) == 1) {
        return 1;
    }
    if (generation == m_openGeneration) {
        reset();
        kivo::ui::messageBox(
            this, QStringLiteral("파일을 여는데 실패했습니다. 비디오 파일 경로가 정확한지 "
                                 "확인하세요.\n경로가 틀렸으면 옵션에서 다시 지정할 수 "
                                 "있습니다.\n\n비디오 파일 경로 : ") +
                      media);
    }
    return 0;
}

int CPlayerDlg::openMedia(const QString &media, const QString &openedPath,
                          std::unique_ptr<CVideoDescription> description, bool play,
                          quint64 generation) {
    CPlaybackEngine &engine = m_session.engine();
    if (!description && engine.secondPath().isEmpty()) {
        // Captions of the same name beside the media come along.
        const QString captions = media.left(media.lastIndexOf(u'.')) + QStringLiteral(".smi");
        if (media.contains(u'.') && QFileInfo::exists(captions)) {
            engine.setSecondPath(captions);
        }
    }
    if (!m_video->engineWindow().open(media)) {
        if (generation == m_openGeneration) {
            reset();
        }
        return 0;
    }
    if (!description) {
        // A media file opened by itself gets a new, empty description of its own.
        description = std::make_unique<CVideoDescription>();
        description->setMediaPath(media.toStdString());
    }
    const bool hasVideo = engine.hasVideo();
    const bool sceneNavigation = hasVideo && m_session.openGrabber(media) == 1;
    m_transport.fileOpened(engine.duration() * 1e-7, hasVideo, sceneNavigation);
    // The file plays at the level the volume slider shows.
    m_transport.volumeSliderMoved(m_transport.volumeSlider());
    m_session.replaceDescription(std::move(description));
    m_openPath = openedPath;
    setWindowTitle(titleFor(openedPath));
    showFileInfo(media);
    m_video->setEnabled(true);
    if (hasVideo) {
        m_video->showForVideo(m_transport.sizeRate());
        // A panel the video now covers moves below it.
        if (COVDlgManager::intersectDlg(m_video.get(), this)) {
            COVDlgManager::setDlgPos(this, m_video.get(), kBelowVideoCentred);
        }
    }
    if (play) {
        m_transport.play();
    }
    kivo::logInfo(kLogCategory, "opened " + openedPath.toStdString());
    emit fileChanged(openedPath);
    return 1;
}

bool CPlayerDlg::isOpenedFromSceneFile() const {
    return isSceneFile(m_openPath);
}

int CPlayerDlg::prepareScenePictures() {
    if (!isOpenedFromSceneFile()) {
        return 1;
    }
    // Grabbing while the video plays would make it stutter: it waits meanwhile.
    const bool playing = m_session.playState() == CPlayerSession::kPlaying;
    if (playing) {
        m_transport.pauseToggle();
    }
    const int prepared = m_sceneTree->prepareSceneImagesOnce();
    if (playing) {
        m_transport.pauseToggle();
    }
    return prepared;
}

int CPlayerDlg::saveDescription() {
    if (!m_transport.isFileOpen() || m_session.description() == nullptr) {
        return 0;
    }
    return isOpenedFromSceneFile() ? saveDescriptionTo(m_openPath) : saveDescriptionAs();
}

int CPlayerDlg::saveDescriptionAs() {
    const CVideoDescription *description = m_session.description();
    if (!m_transport.isFileOpen() || description == nullptr) {
        return 0;
    }
    const QFileInfo media(QString::fromStdString(description->mediaPath()));
    kivo::ui::CFileRequest request;
    request.save = true;
    request.caption = QStringLiteral("KIVO Player_SCV 파일 저장");
    request.filter = kivo::player::sceneSaveFilter();
    request.defaultExtension = QStringLiteral("scv");
    request.initialPath = media.dir().filePath(media.completeBaseName() + QStringLiteral(".scv"));
    const QString path = kivo::ui::saveFileName(this, request);
    return path.isEmpty() ? 0 : saveDescriptionTo(path);
}

int CPlayerDlg::saveDescriptionTo(const QString &path) {
    // A save that fails says so: the edits are still only in the player.
    if (saveScv(*m_session.description(), QFile::encodeName(path).toStdString()) != 1) {
        kivo::ui::messageBox(this, QStringLiteral("저장에 실패했습니다. 다시 시도하세요"));
        return 0;
    }
    m_session.markDescriptionSaved();
    kivo::ui::notice(this, QStringLiteral("정상적으로 저장되었습니다."));
    return 1;
}

void CPlayerDlg::showPlayState(const QString &text) {
    m_playState->setMessage(text);
}

void CPlayerDlg::showFileInfo(const QString &path) {
    m_fileInfo->setMessage(QFileInfo::exists(path) ? path : QStringLiteral("인터넷 파일"));
}

int CPlayerDlg::receiveHandOff(const QStringList &paths) {
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
    if (paths.isEmpty()) {
        kivo::logInfo(kLogCategory, "a start without a file brought the player to the front");
        return -1;
    }
    kivo::logInfo(kLogCategory, "a start handed over " + paths.first().toStdString());
    // The start that handed over is answered at once; opening may take long (an address).
    const QString path = paths.first();
    QTimer::singleShot(0, this, [this, path] { openWhenNoQuestionIsOpen(path); });
    return 0;
}

void CPlayerDlg::openWhenNoQuestionIsOpen(const QString &path) {
    // Closing the file under an open question would pull the ground from under its answer.
    const QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal != this) {
        QTimer::singleShot(kQuestionPollMs, this, [this, path] { openWhenNoQuestionIsOpen(path); });
        return;
    }
    m_session.setAudioCdMode(false);
    openFile(path, true);
}

void CPlayerDlg::exitPlayer() {
    if (m_exiting || m_session.isBusy()) {
        return;
    }
    m_exiting = true;
    m_session.closeFile();
    storePlacements();
    m_settings.sizeRate = m_transport.sizeRate();
    m_settings.infoWidth = m_info->width();
    m_settings.info2Width = m_scenes->width();
    m_settings.treeSizeRate = m_sceneTree->sizeRate();
    m_settings.listSizeRate = m_sceneList->sizeRate();
    savePlayerSettings(m_registry, m_settings);
    m_registry.flush();
    saveLists();
    m_screenSaver.setAllowed(true);
    done(Accepted);
}

void CPlayerDlg::loadLists() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString playlist = listFileToRead(kPlaylistFile, programFolder);
    if (QFileInfo::exists(playlist)) {
        kivo::lists::loadPlaylistFile(QFile::encodeName(playlist).toStdString(),
                                      m_playlist.playlist());
    }
    const QString found = listFileToRead(kFoundFilesFile, programFolder);
    if (QFileInfo::exists(found)) {
        kivo::lists::loadFoundFilesFile(QFile::encodeName(found).toStdString(), m_foundFiles);
    }
    m_playlist.queue().setRandom(m_settings.randomMode);
    m_playlist.queue().setRepeat(m_settings.replayMode);
}

void CPlayerDlg::saveLists() {
    QDir().mkpath(playerDataFolder());
    const auto written = [](const QString &name, int result) {
        if (result != 1) {
            kivo::logWarning(kLogCategory,
                             "could not write " + listFileToWrite(name).toStdString());
        }
    };
    written(kPlaylistFile, kivo::lists::savePlaylistFile(
                               QFile::encodeName(listFileToWrite(kPlaylistFile)).toStdString(),
                               m_playlist.playlist()));
    written(kFoundFilesFile,
            kivo::lists::saveFoundFilesFile(
                QFile::encodeName(listFileToWrite(kFoundFilesFile)).toStdString(), m_foundFiles));
    m_settings.randomMode = m_playlist.queue().random();
    m_settings.replayMode = m_playlist.queue().repeat();
}

void CPlayerDlg::storePlacements() {
    // A detached caption box on screen keeps its placement as it goes.
    m_video->captionBox().hideDetached();
    COVDlgManager::setDlgPosInfo(m_registry, QStringLiteral("Main"), this);
    COVDlgManager::setDlgPosInfo(m_registry, QStringLiteral("View"), m_video.get());
    COVDlgManager::setDlgPosInfo(m_registry, QStringLiteral("Browser"), m_channel);
    COVDlgManager::setDlgPosInfo(m_registry, QStringLiteral("InfoDlg"), m_info);
    COVDlgManager::setDlgPosInfo(m_registry, QStringLiteral("InfoDlg2"), m_scenes);
    for (QWidget *window :
         {static_cast<QWidget *>(m_video.get()), static_cast<QWidget *>(m_channel),
          static_cast<QWidget *>(m_info), static_cast<QWidget *>(m_scenes)}) {
        window->hide();
    }
}

void CPlayerDlg::dragEnterEvent(QDragEnterEvent *event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CPlayerDlg::dropEvent(QDropEvent *event) {
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls()) {
        paths.append(url.isLocalFile() ? url.toLocalFile() : url.toString());
    }
    if (paths.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // The drop is finished first: the files play once the source has let go.
    QTimer::singleShot(0, this, [this, paths] { playDroppedFiles(paths); });
}

void CPlayerDlg::playDroppedFiles(const QStringList &paths) {
    const size_t first = m_playlist.playlist().size();
    for (const QString &path : m_playlist.addFiles(paths)) {
        kivo::ui::messageBox(this, path + QStringLiteral("은/는 KIVO에서 지원하지 않습니다."));
    }
    const std::vector<kivo::lists::CPlaylistEntry> &entries = m_playlist.playlist().entries();
    if (entries.size() == first) {
        return;
    }
    m_session.setAudioCdMode(false);
    m_transport.updateControls();
    m_playlist.playEntries({entries.begin() + std::ptrdiff_t(first), entries.end()});
}

void CPlayerDlg::closeEvent(QCloseEvent *event) {
    exitPlayer();
    if (m_exiting) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CPlayerDlg::reject() {
    // Esc is no way to end the player: only its exit command and closing the window are.
}
