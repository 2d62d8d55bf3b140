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
#include "player/lists/playlistfile.h"
#include "player/scenes/window/scenelistpanel.h"
#include "player/scenes/window/scenetreepanel.h"
#include "player/transport/window/playercontainers.h"
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
    m_session.engine().setBufferingTime(m_settings.bufferingTime);

    setAcceptDrops(true);
    qApp->installEventFilter(this);
    setUpPanel();
    m_session.setControl(this);
    // The volume slider starts at 90 where there is a sound output, at 0 elsewhere.
    m_transport.volumeSliderMoved(kivo::hasSoundOutput() ? 90 : 0);

    m_video = std::make_unique<CPlaybackWnd>(m_session.engine(), nullptr);
    m_video->setWindowTitle(kTitle);
    m_video->setMinimumSize(kVideoMinimum);
    m_transport.setSizeRate(m_settings.sizeRate);
    // The list pages are built from the lists.
    loadLists();
    createSatellites();
    m_transport.setPlaylist(&m_playlist);
    connect(&m_session, &CPlayerSession::positionUpdated, &m_transport,
            &CPlayerTransport::positionUpdate);
    connect(&m_session.engine(), &CPlaybackEngine::graphEvent, this,
            [this](int code, qint64, const QString &) {
                if (code == CPlaybackEngine::kEventComplete) {
                    m_transport.endOfStream();
                }
            });

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
                                   m_settings.finderFolders);
    m_sceneTree = new CSceneTreePanel(m_session, static_cast<float>(m_settings.treeSizeRate));
    m_sceneList = new CSceneListPanel(m_session, static_cast<float>(m_settings.listSizeRate),
                                      &m_sceneTree->tree());
    m_scenes = new CSceneContainerWnd(this, m_sceneTree, m_sceneList);
    m_channel = new CChannelWnd(this);
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
    m_video->hide();
    m_scenes->showPage(CSceneContainerWnd::kSceneTreePage);
    emit fileChanged(QString());
}

void CPlayerDlg::closeFile() {
    m_session.closeFile();
    reset();
}

int CPlayerDlg::openFile(const QString &path, bool play) {
    const quint64 generation = ++m_openGeneration;
    closeFile();
    QString media = path;
    std::unique_ptr<CVideoDescription> description;
    if (isSceneFile(path)) {
        description = std::make_unique<CVideoDescription>();
        const std::string scvPath = path.toStdString();
        if (loadScv(scvPath, *description) != ScvReadResult::Ok) {
            kivo::ui::messageBox(this,
                                 QStringLiteral("SCV 파일을 읽는 도중에 오류가 발생했습니다."));
            return 0;
        }
        if (description->mediaPath().empty()) {
            return 0;
        }
        media = QString::fromStdString(
            toLocalSeparators(resolveMediaPath(description->mediaPath(), scvPath)));
    }
    if (!m_video->open(media)) {
        if (generation != m_openGeneration) {
            // Another open (a hand-off) came while this one loaded and took its place.
            return 0;
        }
        reset();
        kivo::ui::messageBox(this, QStringLiteral("파일을 여는데 실패했습니다."));
        return 0;
    }
    if (!description) {
        // A media file opened by itself gets a new, empty description of its own.
        description = std::make_unique<CVideoDescription>();
        description->setMediaPath(media.toStdString());
    }
    const bool hasVideo = m_session.engine().hasVideo();
    const bool sceneNavigation = hasVideo && m_session.openGrabber(media) == 1;
    m_transport.fileOpened(m_session.engine().duration() * 1e-7, hasVideo, sceneNavigation);
    // The file plays at the level the volume slider shows.
    m_transport.volumeSliderMoved(m_transport.volumeSlider());
    m_session.replaceDescription(std::move(description));
    m_openPath = path;
    setWindowTitle(titleFor(path));
    showFileInfo(media);
    if (m_session.engine().hasVideo()) {
        m_video->show();
    }
    if (play) {
        m_transport.play();
    }
    kivo::logInfo(kLogCategory, "opened " + path.toStdString());
    emit fileChanged(path);
    return 1;
}

bool CPlayerDlg::isOpenedFromSceneFile() const {
    return isSceneFile(m_openPath);
}

int CPlayerDlg::saveDescription() {
    const CVideoDescription *description = m_session.description();
    if (description == nullptr || !isOpenedFromSceneFile() ||
        saveScv(*description, m_openPath.toStdString()) != 1) {
        return 0;
    }
    m_session.markDescriptionSaved();
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
