// The control panel as other programs reach it, with real media on the offscreen platform: the
// windows and pages they show or hide, the state text, and the request table on the real panel
// (a jump to the end, the caption, the channel browser).
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "media/playback/playbackengine.h"
#include "player/remote/remotecontrol.h"
#include "player/shell/sharedtextblock.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/videownd.h"
#include "testsupport/fixturepath.h"
#include "uisupport/registry.h"

class TestPlayerDlgRemote : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("config"))));
        // A reply block of this test's own.
        const QString runtime = m_folder.filePath(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }

    void windowsAndPagesComeAsAsked() {
        COVRegistry registry(m_folder.filePath(QStringLiteral("KIVOP.conf")));
        CPlayerDlg panel(registry, {});
        panel.session().engine().setAudioOutput(QStringLiteral("null"));
        panel.show();
        QCOMPARE(panel.stateText(), QString());
        QCOMPARE(panel.openFile(fixture("index.mp4"), false), 1);
        QCOMPARE(panel.stateText(), fixture("index.mp4"));
        panel.session().setAudioCdMode(true);
        panel.session().setAudioCdTrack(4);
        QCOMPARE(panel.stateText(), QStringLiteral("트랙 4"));
        panel.session().setAudioCdMode(false);

        using EWindow = IPlayerControl::EWindowRequest;
        CInfoContainerWnd &info = *panel.infoContainer();
        info.hide();
        QCOMPARE(panel.arrangeWindow(EWindow::PlaylistPage), 1);
        QVERIFY(info.isVisible());
        QCOMPARE(info.currentPage(), int(CInfoContainerWnd::kPlaylistPage));
        QCOMPARE(panel.arrangeWindow(EWindow::FinderPage), 1);
        QCOMPARE(info.currentPage(), int(CInfoContainerWnd::kFinderPage));
        QCOMPARE(panel.arrangeWindow(EWindow::HideInformation), 1);
        QVERIFY(!info.isVisible());

        panel.sceneContainer()->hide();
        panel.sceneContainer()->showPage(CSceneContainerWnd::kSceneListPage);
        QCOMPARE(panel.arrangeWindow(EWindow::SceneTreePage), 1);
        QVERIFY(panel.sceneContainer()->isVisible());
        QCOMPARE(panel.sceneContainer()->currentPage(), int(CSceneContainerWnd::kSceneTreePage));

        QCOMPARE(panel.arrangeWindow(EWindow::MaximizeVideo), 1);
        QVERIFY(panel.videoWindow().isMaximised());
        QCOMPARE(panel.arrangeWindow(EWindow::HideVideo), 1);
        QVERIFY(!panel.videoWindow().isVisible());
        panel.hide();
        QCOMPARE(panel.arrangeWindow(EWindow::RaiseControlPanel), 1);
        QVERIFY(panel.isVisible());
    }

    // The request table on the real panel: forward from 2 s before the end stops at the end,
    // the channel browser flips, a set caption is read back.
    void requestsRunThePanelsOperations() {
        COVRegistry registry(m_folder.filePath(QStringLiteral("KIVOP2.conf")));
        CPlayerDlg panel(registry, {});
        panel.session().engine().setAudioOutput(QStringLiteral("null"));
        panel.show();
        QCOMPARE(panel.openFile(fixture("index.mp4"), false), 1);
        CSharedTextBlock block(QStringLiteral("KIVOBTCDATA"));
        kivo::remote::CRemoteControl remote(panel.session(), panel.transport(), block);

        QCOMPARE(panel.seekToPosition(10e7), 1);
        const auto end = remote.handle(0x1790, 0);
        QVERIFY(end.has_value());
        QCOMPARE(end->result, 1);
        QCOMPARE(end->text, QByteArray("00:00:12.000"));
        QCOMPARE(block.read(), QByteArray("00:00:12.000"));

        const bool channelShown = panel.channelWindow()->isVisible();
        QCOMPARE(remote.handle(0x17A1, 0)->result, 1);
        QCOMPARE(panel.channelWindow()->isVisible(), !channelShown);

        CSharedTextBlock client(QStringLiteral("KIVOBTCDATA"));
        QCOMPARE(client.write("caption from afar"), 1);
        QCOMPARE(remote.handle(0x1796, 0)->result, 1);
        QCOMPARE(remote.handle(0x178F, 0)->text, QByteArray("caption from afar"));

        // Next with no playlist is the panel's refusal, and writes no state.
        QCOMPARE(remote.handle(0x178D, 0)->result, 0);
        QCOMPARE(block.read(), QByteArray("caption from afar"));

        // Through a playlist of two: refused while a long job runs, then the next file, whose
        // path is the answer.
        panel.playlistPlayer().playlist().append(fixture("index.mp4").toStdString());
        panel.playlistPlayer().playlist().append(fixture("cuts.mp4").toStdString());
        QCOMPARE(panel.playlistPlayer().start(), 1);
        panel.session().setBusy(true);
        QCOMPARE(remote.handle(0x178D, 0)->result, 0);
        panel.session().setBusy(false);
        const auto next = remote.handle(0x178D, 0);
        QCOMPARE(next->result, 1);
        QCOMPARE(QString::fromUtf8(next->text), panel.stateText());
        QCOMPARE(block.read(), next->text);
        QVERIFY(!next->text.isEmpty());
    }
};

QTEST_MAIN(TestPlayerDlgRemote)
#include "test_playerdlgremote.moc"
