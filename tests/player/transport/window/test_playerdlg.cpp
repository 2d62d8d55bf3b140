// The control panel as the process's main window, with real media on the offscreen platform:
// where it comes back on the screen, what it writes when the player ends, how it opens files
// (scene files included) and how a hand-off waits for an open question.
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <csignal>

#include "media/grabber/videomanager.h"
#include "media/playback/playbackengine.h"
#include "media/playback/playbackwnd.h"
#include "player/shell/mimeappslist.h"
#include "player/transport/optionmenustate.h"
#include "player/transport/playercommands.h"
#include "player/transport/window/bufferingtimedlg.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/playermenubuilder.h"
#include "player/transport/window/videownd.h"
#include "scene/scvfile.h"
#include "scene/videodescription.h"
#include "testsupport/fixturepath.h"
#include "uisupport/asker.h"
#include "uisupport/dlgmanager.h"
#include "uisupport/hoverbutton.h"
#include "uisupport/registry.h"
#include "uisupport/textdisplays.h"

namespace {

// A panel whose engine makes no sound, on a settings file of the test's own.
struct CPanel {
    explicit CPanel(const QString &settingsFile) : registry(settingsFile), panel(registry, {}) {
        panel.session().engine().setAudioOutput(QStringLiteral("null"));
    }
    COVRegistry registry;
    CPlayerDlg panel;
};

}  // namespace

// Files this process writes may grow to `bytes` and no further, as on a full disk or a user's
// quota: a longer write fails (the signal the limit would send is ignored) for root too.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    CFileSizeLimit(const CFileSizeLimit &) = delete;
    CFileSizeLimit &operator=(const CFileSizeLimit &) = delete;

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

class TestPlayerDlg : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString settingsFile() const { return m_folder.filePath(QStringLiteral("KIVOP.conf")); }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("data"))));
    }

    // A placement stored off the screen comes back on it; ending the player writes the settings
    // and the placements, and gives mms:// addresses back to the program that had them.
    void thePlayerComesBackOnScreenAndWritesEverythingAtItsEnd() {
        CWindowPlacement stored;
        stored.normalPosition = QRect(-50, 120, 476, 98);
        {
            COVRegistry registry(settingsFile());
            registry.setDlgPosInfo(QStringLiteral("Main"), stored);
            registry.writeProfileInt(QStringLiteral("Player"), QStringLiteral("BufferingTime"), 0);
        }
        kivo::shell::CMimeAppsList desktop;
        {
            CPanel player(settingsFile());
            QCOMPARE(COVDlgManager::frameRect(&player.panel).topLeft(), QPoint(0, 120));
            QCOMPARE(player.panel.settings().bufferingTime, 0);
            QCOMPARE(desktop.ownedTypes({QStringLiteral("x-scheme-handler/mms")}).size(), 1);
            player.panel.show();
            player.panel.move(30, 40);
            player.panel.exitPlayer();
            QCOMPARE(player.panel.result(), int(QDialog::Accepted));
        }
        QVERIFY(desktop.ownedTypes({QStringLiteral("x-scheme-handler/mms")}).isEmpty());
        QSettings written(settingsFile(), QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("Player/BufferingTime")).toInt(), 0);
        QCOMPARE(written.value(QStringLiteral("List/SizeRate")).toDouble(), 1.5);
        COVRegistry reread(settingsFile());
        CWindowPlacement main;
        QVERIFY(reread.getDlgPosInfo(QStringLiteral("Main"), main));
        QCOMPARE(main.normalPosition.topLeft(), QPoint(30, 40));
        CWindowPlacement view;
        QVERIFY(reread.getDlgPosInfo(QStringLiteral("View"), view));
        for (const char *satellite : {"InfoDlg", "InfoDlg2", "Browser"}) {
            CWindowPlacement placement;
            QVERIFY2(reread.getDlgPosInfo(QString::fromLatin1(satellite), placement), satellite);
        }
        QCOMPARE(written.value(QStringLiteral("InfoDlg/Width")).toInt(), 135);
        for (const char *list : {"playlist.mpl", "filelist.mfl"}) {
            QVERIFY2(QFileInfo::exists(m_folder.filePath(QStringLiteral("data/KIVO Player/")) +
                                       QString::fromLatin1(list)),
                     list);
        }
    }

    // The satellites exist from the start, hidden; a container docked beside the visible video
    // window is sized at its outer border only, in separate mode at every border; emptying the
    // panel returns the scene container to the scene tree; the channel button shows and hides
    // the channel window.
    void theSatellitesFollowThePanel() {
        CPanel player(settingsFile());
        CInfoContainerWnd *info = player.panel.infoContainer();
        CSceneContainerWnd *scenes = player.panel.sceneContainer();
        QVERIFY(info && scenes && player.panel.channelWindow());
        QCOMPARE(info->pageCount(), 5);
        QCOMPARE(scenes->pageCount(), 2);
        QVERIFY(!info->isVisible() && !scenes->isVisible());
        QCOMPARE(player.panel.magnet().dialogCount(), 5);

        player.panel.show();
        player.panel.videoWindow().show();
        QCOMPARE(info->sizableEdges(), Qt::Edges(Qt::LeftEdge));
        QCOMPARE(scenes->sizableEdges(), Qt::Edges(Qt::RightEdge));
        QCOMPARE(player.panel.runCommand(kivo::player::kSeparateMode), 1);
        QVERIFY(info->sizableEdges().testFlags(Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge));
        QCOMPARE(player.panel.runCommand(kivo::player::kSeparateMode), 1);
        player.panel.videoWindow().hide();
        QVERIFY(scenes->sizableEdges().testFlag(Qt::LeftEdge));

        scenes->showPage(CSceneContainerWnd::kSceneListPage);
        player.panel.closeFile();
        QCOMPARE(scenes->currentPage(), int(CSceneContainerWnd::kSceneTreePage));

        QCOMPARE(player.panel.runCommand(kivo::player::kChannelButton), 1);
        QVERIFY(player.panel.channelWindow()->isVisible());
        QCOMPARE(player.panel.runCommand(kivo::player::kChannelButton), 1);
        QVERIFY(!player.panel.channelWindow()->isVisible());
    }

    // A scene file opens its video (a relative media path is the scene file's folder's) with
    // its scenes; the title names the file.
    void aSceneFileOpensItsVideoAndScenes() {
        QVERIFY(QFile::copy(fixture("cuts.mp4"), m_folder.filePath(QStringLiteral("clip.mp4"))));
        CVideoDescription description;
        description.setMediaPath("clip.mp4");
        const QString scv = m_folder.filePath(QStringLiteral("clip.scv"));
        QCOMPARE(saveScv(description, scv.toStdString()), 1);

        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPanel player(settingsFile());
        IPlayerControl *control = player.panel.session().control();
        QVERIFY(control != nullptr);
        QCOMPARE(control->openFile(scv, false), 1);
        QCOMPARE(player.panel.session().engine().mediaPath(),
                 m_folder.filePath(QStringLiteral("clip.mp4")));
        // Other windows seek through the panel; a description from a scene file saves back.
        QCOMPARE(control->seekToFrame(40), 1);
        QCOMPARE(player.panel.session().engine().currentPosition(),
                 player.panel.session().positionOfFrame(40));
        player.panel.session().description()->setMediaPath("moved/clip.mp4");
        player.panel.session().markDescriptionChanged();
        QCOMPARE(player.panel.runCommand(kivo::player::kKeySaveDescription), 1);
        QVERIFY(asker.fileRequests().isEmpty());
        QCOMPARE(asker.texts(), QStringList{QStringLiteral("정상적으로 저장되었습니다.")});
        QVERIFY(!player.panel.session().isDescriptionChanged());
        CVideoDescription saved;
        QCOMPARE(loadScv(scv.toStdString(), saved), ScvReadResult::Ok);
        QCOMPARE(saved.mediaPath(), std::string("moved/clip.mp4"));
        QVERIFY(player.panel.session().description() != nullptr);
        QVERIFY(player.panel.session().grabber().isOpen());
        QCOMPARE(player.panel.windowTitle(), QStringLiteral("KIVO Player_CLIP"));
        player.panel.closeFile();
        QCOMPARE(player.panel.windowTitle(), QStringLiteral("KIVO Player"));

        // A media file opened by itself is saved where the user says, the media's name proposed;
        // a save that cannot be written says so and leaves the edits waiting.
        QCOMPARE(control->openFile(m_folder.filePath(QStringLiteral("clip.mp4")), false), 1);
        player.panel.session().markDescriptionChanged();
        asker.answerFile(m_folder.filePath(QStringLiteral("missing/clip.scv")));
        QCOMPARE(control->saveDescription(), 0);
        QCOMPARE(asker.fileRequests().last().initialPath, scv);
        QCOMPARE(asker.texts().last(), QStringLiteral("저장에 실패했습니다. 다시 시도하세요"));
        QVERIFY(player.panel.session().isDescriptionChanged());
        asker.answerFile(m_folder.filePath(QStringLiteral("copy.scv")));
        QCOMPARE(player.panel.runCommand(kivo::player::kSaveDescriptionAs), 1);
        QCOMPARE(loadScv(m_folder.filePath(QStringLiteral("copy.scv")).toStdString(), saved),
                 ScvReadResult::Ok);
        QCOMPARE(QString::fromStdString(saved.mediaPath()),
                 m_folder.filePath(QStringLiteral("clip.mp4")));
    }

    // Scene files kept apart from their videos: a path relative to the scene file's folder in
    // either system's form, folders with Korean names and spaces. A description without a video
    // opens nothing and says nothing. A save the file system refuses part-way leaves the old
    // file as it was.
    void sceneFilesFromOtherFoldersAndRefusedSaves() {
        const QString data = m_folder.filePath(QStringLiteral("내 자료 모음"));
        QVERIFY(QDir().mkpath(data + QStringLiteral("/scenes")));
        QVERIFY(QDir().mkpath(data + QStringLiteral("/media")));
        const QString video = data + QStringLiteral("/media/수업 영상.mp4");
        QVERIFY(QFile::copy(fixture("cuts.mp4"), video));
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPanel player(settingsFile());
        for (const char *stored : {"../media/수업 영상.mp4", "..\\media\\수업 영상.mp4"}) {
            CVideoDescription description;
            description.setMediaPath(stored);
            const QString scv = data + QStringLiteral("/scenes/장면 설명.scv");
            QCOMPARE(saveScv(description, scv.toStdString()), 1);
            QVERIFY2(player.panel.openFile(scv, false) == 1, stored);
            QCOMPARE(player.panel.session().engine().mediaPath(), video);
        }
        const QString empty = data + QStringLiteral("/scenes/empty.scv");
        QCOMPARE(saveScv(CVideoDescription(), empty.toStdString()), 1);
        QCOMPARE(player.panel.openFile(empty, false), 0);
        QVERIFY(asker.texts().isEmpty());

        const QString scv = data + QStringLiteral("/scenes/장면 설명.scv");
        QCOMPARE(player.panel.openFile(scv, false), 1);
        QFile before(scv);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray old = before.readAll();
        before.close();
        for (int i = 0; i < 200; ++i) {
            player.panel.session().description()->root().addChild(double(i));
        }
        player.panel.session().markDescriptionChanged();
        {
            CFileSizeLimit limit(old.size() + 64);
            QCOMPARE(player.panel.runCommand(kivo::player::kKeySaveDescription), 0);
        }
        QCOMPARE(asker.texts().last(), QStringLiteral("저장에 실패했습니다. 다시 시도하세요"));
        QVERIFY(player.panel.session().isDescriptionChanged());
        QVERIFY(before.open(QIODevice::ReadOnly));
        QCOMPARE(before.readAll(), old);
        QCOMPARE(
            QDir(data + QStringLiteral("/scenes")).entryList(QDir::Files | QDir::Hidden).size(), 2);
        QCOMPARE(player.panel.runCommand(kivo::player::kKeySaveDescription), 1);
        player.panel.closeFile();
    }

    // A file that does not open says so and leaves the panel empty; an open that a newer one
    // overtakes says nothing.
    void failedOpensSaySoButOvertakenOnesDoNot() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPanel player(settingsFile());
        QCOMPARE(player.panel.openFile(m_folder.filePath(QStringLiteral("missing.avi")), true), 0);
        QCOMPARE(asker.texts(), QStringList(QStringLiteral("파일을 여는데 실패했습니다.")));
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kStopped);

        QTimer::singleShot(0, &player.panel,
                           [&player] { player.panel.openFile(fixture("cuts.mkv"), true); });
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), true), 0);
        QCOMPARE(asker.texts().size(), 1);
        QCOMPARE(player.panel.session().engine().mediaPath(), fixture("cuts.mkv"));
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kPlaying);
    }

    // A file dropped on the panel opens and plays.
    // Dropped files join the playlist (an unsupported one is refused with the player's
    // message) and play as its queue: the end of one file plays the next; after the last, the
    // first opens without playing. The list is what the player writes at its end.
    void droppedFilesBecomeThePlaylistAndPlayInTurn() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        {
            CPanel player(settingsFile());
            QVERIFY(!player.panel.isButtonEnabled(kivo::player::kPlayButton));
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(fixture("cuts.mkv")),
                          QUrl::fromLocalFile(QStringLiteral("/notes.txt")),
                          QUrl::fromLocalFile(fixture("cuts.mp4"))});
            QDragEnterEvent enter(QPoint(200, 40), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(&player.panel, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(200, 40), Qt::CopyAction, &data, Qt::LeftButton,
                            Qt::NoModifier);
            QApplication::sendEvent(&player.panel, &drop);
            QTRY_COMPARE(player.panel.session().engine().mediaPath(), fixture("cuts.mkv"));
            QTRY_COMPARE(player.panel.session().playState(), CPlayerSession::kPlaying);
            QCOMPARE(asker.texts(),
                     QStringList{QStringLiteral("/notes.txt은/는 KIVO에서 지원하지 않습니다.")});
            QCOMPARE(player.panel.playlistPlayer().playlist().size(), size_t(2));

            player.panel.transport().endOfStream();
            QCOMPARE(player.panel.session().engine().mediaPath(), fixture("cuts.mp4"));
            QTRY_COMPARE(player.panel.session().playState(), CPlayerSession::kPlaying);
            QCOMPARE(player.panel.runCommand(kivo::player::kKeyNextFile), 1);
            QCOMPARE(player.panel.session().engine().mediaPath(), fixture("cuts.mkv"));
            QCOMPARE(player.panel.session().playState(), CPlayerSession::kStopped);
            player.panel.exitPlayer();
        }
        // The next start has the list again: the play button starts it.
        CPanel again(settingsFile());
        QCOMPARE(again.panel.playlistPlayer().playlist().size(), size_t(2));
        QVERIFY(again.panel.isButtonEnabled(kivo::player::kPlayButton));
        QCOMPARE(again.panel.runCommand(kivo::player::kPlayButton), 1);
        QTRY_COMPARE(again.panel.session().engine().mediaPath(), fixture("cuts.mkv"));
        again.panel.playlistPlayer().playlist().clear();
        again.panel.exitPlayer();
    }

    // The open button's choice plays at once; an address joins the recent list even when it
    // cannot be opened. The buffering time is 0 to 60 seconds.
    void theOpenDialogAndTheBufferingTime() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPanel player(settingsFile());
        asker.answerFile(fixture("cuts.mp4"));
        QCOMPARE(player.panel.runCommand(kivo::player::kOpenButton), 1);
        QCOMPARE(asker.fileRequests().size(), 1);
        QCOMPARE(asker.fileRequests()[0].caption, QStringLiteral("KIVO Player_파일열기"));
        QTRY_COMPARE(player.panel.session().playState(), CPlayerSession::kPlaying);
        asker.answerFile(QStringLiteral("http://127.0.0.1:9/none.wmv"));
        QCOMPARE(player.panel.runCommand(kivo::player::kOpenButton), 0);
        QCOMPARE(player.panel.settings().recentAddresses,
                 QStringList{QStringLiteral("http://127.0.0.1:9/none.wmv")});

        CBufferingTimeDlg dialog(10);
        dialog.edit().setText(QStringLiteral("61"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(asker.texts().contains(QStringLiteral("0 ~ 60사이의 시간을 입력하세요")));
        dialog.edit().setText(QStringLiteral("0"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.seconds(), 0);
    }

    // A list plays its entries in turn (an address that does not open gives way to the entry's
    // backup), then opens again stopped at its first entry; captions beside a file come along;
    // a scene file whose video is gone says where it looked.
    void listsCaptionsAndMissingVideos() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        const QString asx = m_folder.filePath(QStringLiteral("show.asx"));
        QFile list(asx);
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(QStringLiteral("<ASX><ENTRY><REF HREF=\"%1\"><REF HREF=\"%2\"></ENTRY>"
                                  "<ENTRY><REF HREF=\"%3\"/></ENTRY></ASX>")
                       .arg(m_folder.filePath(QStringLiteral("gone.mp4")), fixture("cuts.mp4"),
                            fixture("index.mp4"))
                       .toUtf8());
        list.close();
        CPanel player(settingsFile());
        CPlaybackEngine &engine = player.panel.session().engine();
        QCOMPARE(player.panel.openFile(asx, true), 1);
        QCOMPARE(engine.mediaPath(), fixture("cuts.mp4"));
        QTRY_COMPARE(player.panel.session().playState(), CPlayerSession::kPlaying);
        player.panel.transport().endOfStream();
        QCOMPARE(engine.mediaPath(), fixture("index.mp4"));
        player.panel.transport().endOfStream();
        QCOMPARE(engine.mediaPath(), fixture("cuts.mp4"));
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kStopped);
        QVERIFY(asker.texts().isEmpty());

        QVERIFY(QFile::copy(fixture("cuts.mp4"), m_folder.filePath(QStringLiteral("talk.mp4"))));
        QFile captions(m_folder.filePath(QStringLiteral("talk.smi")));
        QVERIFY(captions.open(QIODevice::WriteOnly));
        captions.close();
        player.panel.closeFile();
        QCOMPARE(player.panel.openFile(m_folder.filePath(QStringLiteral("talk.mp4")), false), 1);
        QCOMPARE(engine.secondPath(), m_folder.filePath(QStringLiteral("talk.smi")));

        CVideoDescription description;
        description.setMediaPath("elsewhere/talk.mp4");
        const QString scv = m_folder.filePath(QStringLiteral("lost.scv"));
        QCOMPARE(saveScv(description, scv.toStdString()), 1);
        QCOMPARE(player.panel.openFile(scv, true), 0);
        QVERIFY(
            asker.texts().last().endsWith(QStringLiteral("비디오 파일 경로 : elsewhere/talk.mp4")));
        QVERIFY(!player.panel.transport().isFileOpen());
    }

    // A SAMI file becomes a scene file of its captions for a video the user names; a scene file
    // is given another video and opens with it.
    void captionsConvertedAndVideosAssigned() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        const QString sami = m_folder.filePath(QStringLiteral("talk.smi"));
        QFile file(sami);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "<SAMI><BODY><SYNC Start=1500><P Class=KRCC>안녕하세요\r\n"
            "<SYNC Start=3000><P Class=KRCC>&nbsp;</BODY></SAMI>");
        file.close();
        const QString scv = m_folder.filePath(QStringLiteral("talk.scv"));
        CPanel player(settingsFile());
        for (const QString &answer : {sami, fixture("cuts.mp4"), scv}) {
            asker.answerFile(answer);
        }
        QCOMPARE(player.panel.runCommand(kivo::player::kConvertSamiToScv), 1);
        CVideoDescription converted;
        QCOMPARE(loadScv(scv.toStdString(), converted), ScvReadResult::Ok);
        QCOMPARE(QString::fromStdString(converted.mediaPath()), fixture("cuts.mp4"));
        QCOMPARE(converted.captions().size(), size_t(2));
        QCOMPARE(converted.captions()[0].time, 1500 * 1e4);
        QCOMPARE(asker.texts().last(), QStringLiteral("정상적으로 저장되었습니다."));

        for (const QString &answer : {scv, fixture("index.mp4")}) {
            asker.answerFile(answer);
        }
        asker.answerMessage(kivo::ui::kAnswerYes);
        QCOMPARE(player.panel.runCommand(kivo::player::kAssignMediaFile), 1);
        QCOMPARE(player.panel.session().engine().mediaPath(), fixture("index.mp4"));
        QCOMPARE(player.panel.session().description()->captions().size(), size_t(2));
    }

    // An internet address: the file line says so and the title names the address's last part.
    // A list on the server is fetched when a list names it, and may not enter itself.
    void anAddressOpensFromALocalServer() {
        const QString web = m_folder.filePath(QStringLiteral("web"));
        QVERIFY(QDir().mkpath(web));
        QVERIFY(QFile::link(fixture("cuts.mkv"), web + QStringLiteral("/cuts.mkv")));
        QFile inner(web + QStringLiteral("/inner.asx"));
        QVERIFY(inner.open(QIODevice::WriteOnly));
        inner.write(
            "<ASX><ENTRYREF HREF=\"inner.asx\"/><ENTRY><REF HREF=\"cuts.mkv\"/></ENTRY></ASX>");
        inner.close();
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        QProcess server;
        server.start(QStringLiteral("python3"),
                     {QStringLiteral("-m"), QStringLiteral("http.server"), QString::number(port),
                      QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                      QStringLiteral("--directory"), web});
        QVERIFY(server.waitForStarted());
        const auto serving = [port] {
            QTcpSocket knock;
            knock.connectToHost(QHostAddress::LocalHost, port);
            return knock.waitForConnected(100);
        };
        QTRY_VERIFY_WITH_TIMEOUT(serving(), 10000);
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPanel player(settingsFile());
        // Matroska plays from a server that cannot seek (MP4 keeps its index at the end).
        const QString address = QStringLiteral("http://127.0.0.1:%1/cuts.mkv").arg(port);
        QCOMPARE(player.panel.openFile(address, false), 1);
        QCOMPARE(player.panel.windowTitle(), QStringLiteral("KIVO Player_CUTS"));
        QCOMPARE(player.panel.findChild<COVMsgST *>(QStringLiteral("static1224"))->message(),
                 QStringLiteral("인터넷 파일"));
        player.panel.closeFile();

        const QString outer = m_folder.filePath(QStringLiteral("outer.asx"));
        QFile list(outer);
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(QStringLiteral("<ASX><ENTRYREF HREF=\"http://127.0.0.1:%1/inner.asx\"/></ASX>")
                       .arg(port)
                       .toUtf8());
        list.close();
        QCOMPARE(player.panel.openFile(outer, true), 1);
        QCOMPARE(player.panel.session().engine().mediaPath(), address);
        player.panel.transport().endOfStream();
        QCOMPARE(player.panel.session().engine().mediaPath(), address);
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kStopped);
        player.panel.closeFile();
        server.kill();
        server.waitForFinished();

        // A server that takes the connection and never answers: with no buffering time the open
        // gives up after the grace alone, and the windows keep being served meanwhile.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        QObject::connect(&silent, &QTcpServer::newConnection, &silent, [&silent] {
            while (QTcpSocket *socket = silent.nextPendingConnection()) {
                socket->setParent(&silent);
            }
        });
        player.panel.session().engine().setBufferingTime(0);
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(100);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(
            player.panel.openFile(
                QStringLiteral("http://127.0.0.1:%1/live.mkv").arg(silent.serverPort()), false),
            0);
        const qint64 waited = clock.elapsed();
        QVERIFY2(waited < CPlaybackEngine::kAddressGraceMs + 2000,
                 qPrintable(QString::number(waited)));
        QVERIFY2(ticks >= int(waited / 100) / 2, qPrintable(QString::number(ticks)));
        QVERIFY(!asker.texts().isEmpty());
    }

    // Accelerator keys reach the panel from any of its windows, but only while their button
    // is enabled; F10 asks before it leaves normal play.
    void keysRunTheirCommandsOnlyWithTheirButtonEnabled() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPanel player(settingsFile());
        player.panel.show();
        QVERIFY(!player.panel.isButtonEnabled(kivo::player::kPlayButton));
        QTest::keyClick(&player.panel, Qt::Key_F2);
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kStopped);

        CVideoDescription description;
        description.setMediaPath(fixture("cuts.mp4").toStdString());
        description.repeatSections().push_back({});
        description.repeatSections().back().start = 2e7;
        const QString scv = m_folder.filePath(QStringLiteral("sections.scv"));
        QCOMPARE(saveScv(description, scv.toStdString()), 1);
        QCOMPARE(player.panel.openFile(scv, false), 1);
        QTest::keyClick(&player.panel.videoWindow(), Qt::Key_F2);
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kPlaying);

        asker.answerMessage(kivo::ui::kAnswerNo);
        QTest::keyClick(&player.panel, Qt::Key_F10);
        QVERIFY(!player.panel.transport().isRepeatMode());
        asker.answerMessage(kivo::ui::kAnswerYes);
        QTest::keyClick(&player.panel, Qt::Key_F10);
        QVERIFY(player.panel.transport().isRepeatMode());
        QCOMPARE(asker.questions().size(), 2);
        QCOMPARE(asker.questions().front().text,
                 QStringLiteral("현재 정상재생 중입니다. 반복재생으로 전환할까요?"));
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kPlaying);
    }

    // The panel's face follows the transport: buttons greyed and pressed by the play state,
    // tooltips of the normal set, the track grid's cells by the hit rule.
    void theFaceFollowsThePlayState() {
        CPanel player(settingsFile());
        COVHoverButton *play = player.panel.button(kivo::player::kPlayButton);
        COVHoverButton *pause = player.panel.button(kivo::player::kPauseButton);
        QVERIFY(!play->isEnabled());
        QCOMPARE(player.panel.button(kivo::player::kStepForwardButton)->toolTip(),
                 QStringLiteral("한 프레임 앞으로(Ctrl + 오른쪽 화살표"));
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), true), 1);
        QVERIFY(play->isEnabled());
        QVERIFY(player.panel.button(kivo::player::kStepForwardButton)->isEnabled());
        pause->click();
        QVERIFY(pause->isChecked());
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kPaused);
        pause->click();
        QVERIFY(!pause->isChecked());

        // Alt+C: the video window centred at least 240 x 240, the panel docked below it.
        player.panel.videoWindow().resize(100, 100);
        QCOMPARE(player.panel.runAccelerator(QKeyCombination(Qt::AltModifier, Qt::Key_C)), 1);
        const QRect video = COVDlgManager::frameRect(&player.panel.videoWindow());
        QCOMPARE(player.panel.videoWindow().size(), QSize(240, 240));
        QCOMPARE(COVDlgManager::frameRect(&player.panel).top(), video.bottom() + 1);
        player.panel.closeFile();
        QVERIFY(!pause->isEnabled());

        QCOMPARE(CPlayerDlg::trackAt({42, 18}), 2);
        QCOMPARE(CPlayerDlg::trackAt({85, 59}), 15);
        QCOMPARE(CPlayerDlg::trackAt({30, 40}), 0);
        QCOMPARE(CPlayerDlg::trackAt({86, 20}), 0);
        QCOMPARE(CPlayerDlg::trackAt({40, 60}), 0);
    }

    // The rate menu beside ff (its right button) and the option menu beside the option button:
    // the item chosen runs its command.
    void menusBesideTheButtonsRunTheChosenCommand() {
        CPanel player(settingsFile());
        player.panel.show();
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        const auto choose = [](const QString &text) {
            QTimer::singleShot(50, [text] {
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                QVERIFY(menu != nullptr);
                for (QAction *action : menu->actions()) {
                    if (action->text() == text) {
                        menu->setActiveAction(action);
                    }
                }
                QTest::keyClick(menu, Qt::Key_Return);
            });
        };
        choose(QStringLiteral("0.5x"));
        COVHoverButton *ff = player.panel.button(kivo::player::kFastForwardButton);
        QTest::mousePress(ff, Qt::RightButton);
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kExtendedPlay);
        QCOMPARE(player.panel.transport().extendedRate(), 0.5);

        choose(QStringLiteral("항상 위(&M)"));
        player.panel.button(kivo::player::kOptionButton)->click();
        QVERIFY(player.panel.optionMenuInput().topMost);
    }

    // The option menu as the panel's state makes it: greyed play modes without a file, the
    // scene-file items with one, the switches checked.
    void theOptionMenuFollowsThePanelsState() {
        CPanel player(settingsFile());
        const auto menuOf = [&player] {
            return buildPlayerMenu(*kivo::player::playerMenu(kivo::player::kOptionMenu),
                                   kivo::player::optionMenuState(player.panel.optionMenuInput()));
        };
        const auto action = [](const QMenu &menu, int id) {
            const QList<QAction *> actions = menu.actions();
            const auto found = std::find_if(actions.begin(), actions.end(),
                                            [id](QAction *a) { return a->data().toInt() == id; });
            return found == actions.end() ? nullptr : *found;
        };
        auto empty = menuOf();
        QVERIFY(!empty->actions().at(kivo::player::kPlayModeSubMenuPosition)->isEnabled());
        QVERIFY(!action(*empty, 32803)->isEnabled());
        player.panel.runCommand(32842);
        QVERIFY(action(*menuOf(), 32842)->isChecked());

        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        auto open = menuOf();
        QVERIFY(open->actions().at(kivo::player::kPlayModeSubMenuPosition)->isEnabled());
        QVERIFY(!action(*open, 32859)->isEnabled());
        QVERIFY(action(*open, 32809)->text().startsWith(QStringLiteral("기본 트리 구성")));
    }

    // A hand-off that arrives while the player asks the user something waits for the answer
    // instead of closing the file under the question.
    void aHandOffWaitsForAnOpenQuestion() {
        CPanel player(settingsFile());
        player.panel.show();
        QMessageBox question(QMessageBox::Question, QStringLiteral("KIVO Player"),
                             QStringLiteral("?"), QMessageBox::Ok, &player.panel);
        QTimer::singleShot(0, &player.panel, [&] {
            QCOMPARE(player.panel.receiveHandOff({fixture("cuts.mp4")}), 0);
            QTest::qWait(300);
            QVERIFY(player.panel.session().engine().mediaPath().isEmpty());
            question.accept();
        });
        question.exec();
        QTRY_COMPARE(player.panel.session().engine().mediaPath(), fixture("cuts.mp4"));
        QCOMPARE(player.panel.receiveHandOff({}), -1);
        QCOMPARE(player.panel.session().engine().mediaPath(), fixture("cuts.mp4"));
    }
};

QTEST_MAIN(TestPlayerDlg)
#include "test_playerdlg.moc"
