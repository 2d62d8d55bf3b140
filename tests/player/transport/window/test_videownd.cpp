// The video window inside a real control panel, with real libmpv (no sound) on the fixture
// videos: where the video goes, the window's modes, the docked containers, the menu's rules as
// the window reads them, saving frames and the image effects seen on screen.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "media/grabber/videomanager.h"
#include "media/playback/playbackengine.h"
#include "media/playback/playbackwnd.h"
#include "player/transport/playercommands.h"
#include "player/transport/playermenus.h"
#include "player/transport/videocommands.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/videownd.h"
#include "testsupport/fixturepath.h"
#include "uisupport/asker.h"
#include "uisupport/dlgmanager.h"
#include "uisupport/registry.h"

using namespace kivo::player;

namespace {

struct CPlayer {
    explicit CPlayer(const QString &settingsFile) : registry(settingsFile), panel(registry, {}) {
        panel.session().engine().setAudioOutput(QStringLiteral("null"));
        panel.show();
    }
    CVideoWnd &video() { return panel.videoWindow(); }
    QRect videoPlace() { return video().engineWindow().geometry(); }
    COVRegistry registry;
    CPlayerDlg panel;
};

QImage picture(CPlaybackWnd &engine) {
    return engine.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool everyPixelGrey(const QImage &image) {
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

class TestVideoWnd : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString settingsFile() const { return m_folder.filePath(QStringLiteral("KIVOP.conf")); }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("config"))));
        kivo::ui::installMessageSink();
    }

    // The size rate sizes the window, at least 240 x 240 with a small video centred; zooming
    // follows; auto-scale centres the picture across a wide window; the buttons follow the size.
    void theVideoIsPlacedByRateAndByWindow() {
        CPlayer player(settingsFile());
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        QVERIFY(player.video().isVisible());
        QCOMPARE(player.video().size(), QSize(350, 284));
        QCOMPARE(player.videoPlace(), QRect(15, 24, 320, 240));

        QCOMPARE(player.video().runCommand(kViewRate50), 1);
        QCOMPARE(player.video().size(), QSize(240, 240));
        QCOMPARE(player.videoPlace(), QRect(40, 62, 160, 120));
        QCOMPARE(player.panel.transport().sizeRate(), 0.5);
        QCOMPARE(player.panel.runCommand(kKeyZoomIn), 1);
        QCOMPARE(player.video().size(), QSize(350, 284));

        player.video().resize(100, 100);
        QCOMPARE(player.video().size(), QSize(240, 240));
        QCOMPARE(player.video().runCommand(kViewAutoScale), 1);
        player.video().resize(600, 400);
        QCOMPARE(player.videoPlace(), QRect(63, 24, 474, 356));
        QCOMPARE(player.video().findChild<QWidget *>(QStringLiteral("control104")),
                 &player.video().engineWindow());
        QCOMPARE(player.video().runCommand(kViewFreeSize), 1);
        QCOMPARE(player.videoPlace(), QRect(15, 24, 570, 356));
    }

    // Full video twice gives the rectangle back; a double click maximises and restores; hiding
    // hides the docked containers and restoring brings back those that were shown, docked.
    void modesComeBackToWhereTheyWere() {
        CPlayer player(settingsFile());
        QCOMPARE(player.video().setFullVideo(true), 0);  // no video yet
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        player.video().move(200, 150);
        const QRect before = COVDlgManager::frameRect(&player.video());
        QCOMPARE(player.panel.runAccelerator(QKeyCombination(Qt::ControlModifier, Qt::Key_Return)),
                 1);
        QVERIFY(player.video().isFullVideo());
        const QRect screen = player.video().screen()->geometry();
        QCOMPARE(COVDlgManager::frameRect(&player.video()), screen.adjusted(-15, -24, 15, 20));
        QCOMPARE(player.video().runCommand(kViewFullVideo), 1);
        QCOMPARE(COVDlgManager::frameRect(&player.video()), before);

        QTest::mouseDClick(&player.video(), Qt::LeftButton, {}, QPoint(100, 10));
        QVERIFY(player.video().isMaximised());
        QTest::mouseDClick(&player.video(), Qt::LeftButton, {}, QPoint(100, 10));
        QVERIFY(!player.video().isMaximised());

        QWidget &info = *player.panel.infoContainer();
        QWidget &scenes = *player.panel.sceneContainer();
        QCOMPARE(player.video().runCommand(kVideoInfoButton), 1);
        QCOMPARE(player.video().runCommand(kVideoInfo2Button), 1);
        const QRect window = COVDlgManager::frameRect(&player.video());
        QCOMPARE(COVDlgManager::frameRect(&info),
                 QRect(window.left() - 135, window.top() + 15, 135, window.height() - 30));
        QCOMPARE(COVDlgManager::frameRect(&scenes).left(), window.right() + 1);
        info.hide();
        player.panel.hide();
        QCOMPARE(player.video().runCommand(kVideoHideButton), 1);
        QVERIFY(!player.video().isVisible() && !scenes.isVisible());
        QVERIFY(player.panel.isVisible());
        QCOMPARE(player.panel.runCommand(kVideoWindowButton), 1);
        QVERIFY(player.video().isVisible() && scenes.isVisible() && !info.isVisible());
        player.video().move(50, 60);
        QCOMPARE(COVDlgManager::frameRect(&scenes).topLeft(),
                 COVDlgManager::frameRect(&player.video()).topRight() + QPoint(1, 15));
    }

    // The engine's full screen: Alt+Enter, Esc leaves it; the menu greys zooming meanwhile, and
    // a size rate leaves it first. Without video there is no full screen.
    void engineFullScreenAndEsc() {
        CPlayer player(settingsFile());
        QCOMPARE(player.panel.openFile(fixture("audio.m4a"), false), 1);
        QVERIFY(!player.video().isVisible());
        QCOMPARE(player.panel.runAccelerator(QKeyCombination(Qt::AltModifier, Qt::Key_Return)), 1);
        QVERIFY(!player.video().engineWindow().isFullScreen());
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        QCOMPARE(player.video().runCommand(kVideoInfo2Button), 0);
        QCOMPARE(asker.texts(),
                 QStringList(QStringLiteral("본 파일은 장면 트리/리스트를 지원하지 않습니다.")));

        QCOMPARE(player.panel.openFile(fixture("index.mp4"), false), 1);
        CPlaybackWnd &engine = player.video().engineWindow();
        QCOMPARE(player.video().runCommand(kViewFullScreen), 1);
        QVERIFY(engine.isFullScreen());
        QVERIFY(
            !videoMenuState(player.video().menuInput()).isSubMenuEnabled(kViewZoomSubMenuPosition));
        QTest::keyClick(&engine, Qt::Key_Escape);
        QVERIFY(!engine.isFullScreen());
        QCOMPARE(engine.parentWidget(), &player.video());
        QCOMPARE(player.video().runCommand(kViewFullScreen), 1);
        QCOMPARE(player.video().runCommand(kViewRate200), 1);
        QVERIFY(!engine.isFullScreen());
        QCOMPARE(player.video().size(), QSize(670, 524));

        // Items that are not the window's own are the control panel's; "x" closes the file and,
        // with the control panel on the screen, hides the window.
        QCOMPARE(player.video().runCommand(kViewPlay), 1);
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kPlaying);
        QCOMPARE(player.video().runCommand(kVideoCloseButton), 1);
        QVERIFY(!player.panel.transport().isFileOpen());
        QVERIFY(!player.video().isVisible());
        // The application's end closes the window (a refusal would keep the process alive).
        player.video().show();
        QVERIFY(player.video().close());
    }

    // A frame at its native size is the grabber's frame, byte for byte; another type writes
    // nothing; a folder that cannot be written leaves no file behind.
    void framesAreSavedAsTheGrabberHasThem() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPlayer player(settingsFile());
        QCOMPARE(player.panel.openFile(fixture("index.mp4"), false), 1);
        QCOMPARE(player.panel.seekToFrame(37), 1);
        const QString bmp = m_folder.filePath(QStringLiteral("frame.bmp"));
        asker.answerFile(bmp);
        QCOMPARE(player.video().runCommand(kViewSaveNativeSize), 1);
        QCOMPARE(asker.texts(), QStringList(QStringLiteral("이미지가 저장되었습니다.")));
        CVideoManager grabber;
        QCOMPARE(grabber.open(fixture("index.mp4").toStdString()), 1);
        const std::vector<uint8_t> expected = grabber.pictureAt(37)->bmpFileImage();
        QFile written(bmp);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray(reinterpret_cast<const char *>(expected.data()),
                                               qsizetype(expected.size())));

        const QString png = m_folder.filePath(QStringLiteral("frame.png"));
        asker.answerFile(png);
        QCOMPARE(player.video().runCommand(kViewSaveCurrentSize), 0);
        QCOMPARE(asker.texts().last(), QStringLiteral("지원하지 않는 파일형식입니다."));
        QVERIFY(!QFile::exists(png));

        // A folder nobody can write into, not even the superuser the tests may run as: its
        // name is taken by a file.
        const QString blocked = m_folder.filePath(QStringLiteral("blocked"));
        QFile blocker(blocked);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        asker.answerFile(blocked + QStringLiteral("/frame.jpg"));
        const qsizetype told = asker.texts().size();
        QCOMPARE(player.video().runCommand(kViewSaveNativeSize), 0);
        QVERIFY(asker.texts().size() > told);
        QCOMPARE(QDir(m_folder.path())
                     .entryList({QStringLiteral("*frame*")}, QDir::Files | QDir::Hidden),
                 QStringList({QStringLiteral("frame.bmp")}));
        QCOMPARE(asker.texts().count(QStringLiteral("이미지가 저장되었습니다.")), 1);
    }

    // Ticks move the transport's displays; the end of the media, and stepped playback running
    // past the start, end the stream: the player stops at the start.
    void theEnginesNotificationsReachTheTransport() {
        CPlayer player(settingsFile());
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        CPlaybackEngine &engine = player.panel.session().engine();
        QSignalSpy reports(&player.panel.transport(), &CPlayerTransport::positionReport);
        QCOMPARE(player.panel.seekToPosition(engine.duration() - 5e6), 1);
        QCOMPARE(player.panel.play(), 1);
        QTRY_VERIFY(reports.count() > 0);
        QTRY_COMPARE_WITH_TIMEOUT(player.panel.session().playState(), CPlayerSession::kStopped,
                                  5000);
        QCOMPARE(engine.currentPosition(), 0.0);

        QCOMPARE(player.panel.seekToPosition(4e6), 1);
        QCOMPARE(player.panel.runCommand(kRateBackward2), 1);
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kExtendedPlay);
        QTRY_COMPARE_WITH_TIMEOUT(player.panel.session().playState(), CPlayerSession::kStopped,
                                  5000);
        QCOMPARE(engine.currentPosition(), 0.0);
    }

    // The filter wanted for the next file; once in, an effect changes the picture on screen and
    // the menu offers the effects. A click in the video plays and pauses.
    void effectsChangeThePictureAndClicksPlay() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPlayer player(settingsFile());
        QCOMPARE(player.video().runCommand(kViewEffectsWanted), 1);
        QVERIFY(asker.texts().isEmpty());
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        CPlaybackWnd &engine = player.video().engineWindow();
        QVERIFY(videoMenuState(player.video().menuInput()).item(kViewEffectGrey).enabled);
        QTRY_VERIFY(!everyPixelGrey(picture(engine)));
        QCOMPARE(player.video().runCommand(kViewEffectGrey), 1);
        QTRY_VERIFY(everyPixelGrey(picture(engine)));

        QCOMPARE(player.video().runCommand(kViewEffectsWanted), 1);
        QCOMPARE(asker.texts(),
                 QStringList(QStringLiteral("효과는 다음에 파일을 열었을 때부터 적용됩니다.")));

        QTest::mouseClick(&engine, Qt::LeftButton);
        QTRY_COMPARE(player.panel.session().playState(), CPlayerSession::kPlaying);
        QTest::mouseClick(&engine, Qt::LeftButton);
        QTRY_COMPARE(player.panel.session().playState(), CPlayerSession::kPaused);
    }
};

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestVideoWnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_videownd.moc"
