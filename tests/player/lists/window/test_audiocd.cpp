// The audio-CD page in the running player over BIN/CUE images that libcdio reads like a drive
// and libmpv plays, and the control panel in audio-CD mode: track selection, the forward and
// back rules on the real device, seeking, the track grid, a disc taken out while it plays, and
// the volume slider on the system mixer (a PulseAudio daemon of the test's own).
#include <QCheckBox>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "../cdimage.h"
#include "../pulseserver.h"
#include "media/playback/playbackengine.h"
#include "player/lists/window/audiocdpanel.h"
#include "player/lists/window/cdenginesound.h"
#include "player/lists/window/listwidgets.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "uisupport/asker.h"
#include "uisupport/flatbutton.h"
#include "uisupport/registry.h"
#include "uisupport/textdisplays.h"

namespace {

using kivo::lists::ICdDevice;

// A player on its own settings, whose CD page reads `image`; the CD plays to no sound card.
struct CPlayer {
    CPlayer(const QString &settingsFile, const std::string &image)
        : environment(image), registry(settingsFile), panel(registry, {}) {
        cd().sound().engine().setAudioOutput(QStringLiteral("null"));
        panel.session().engine().setAudioOutput(QStringLiteral("null"));
    }
    CAudioCdPanel &cd() { return *panel.infoContainer()->audioCdPanel(); }
    // The disc listed at start-up.
    bool listed() {
        QSignalSpy spy(&cd(), &CAudioCdPanel::discListed);
        return spy.wait(10000);
    }

    struct CEnvironment {
        explicit CEnvironment(const std::string &image) {
            qputenv("KIVO_CDROM_DEVICE", QByteArray::fromStdString(image));
        }
    } environment;
    COVRegistry registry;
    CPlayerDlg panel;
};

QStringList texts(const kivo::ui::CScriptedAsker &asker) {
    QStringList all;
    for (const auto &question : asker.questions()) {
        all.append(question.caption + u'|' + question.text);
    }
    return all;
}

}  // namespace

class TestAudioCd : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<CPulseServer> m_pulse;
    std::string m_tones;

    QString settingsFile() const { return m_folder.filePath(QStringLiteral("KIVOP.conf")); }
    std::string folder() const { return m_folder.path().toStdString(); }

private slots:
    void initTestCase() {
        // Before the player first touches ALSA, which reads its configuration once.
        m_pulse = std::make_unique<CPulseServer>();
        QVERIFY(m_pulse->running());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("data"))));
        m_tones = kivo::test::writeCdImage(folder(), "tones", {{3.0, 440}, {3.0, 660}, {5.0, 880}});
    }
    void cleanupTestCase() { m_pulse.reset(); }

    // No disc and a data disc: the page stays inactive with its controls greyed, and the track
    // grid answers with its message instead of playing.
    void noAudioDiscLeavesThePageInactive() {
        const std::string data = kivo::test::writeCdImage(folder(), "data", {{2.0, 0}});
        for (const std::string &image : {data, folder() + "/absent.cue"}) {
            kivo::ui::CScriptedAsker asker;
            kivo::ui::CScopedAsker scoped(asker);
            CPlayer player(settingsFile(), image);
            QVERIFY(player.listed());
            QVERIFY(!player.cd().isActive());
            QCOMPARE(player.cd().list().topLevelItemCount(), 0);
            QVERIFY(!player.cd().setButton().isEnabled());
            QVERIFY(!player.cd().randomBox().isEnabled());
            QCOMPARE(player.cd().startSelection(), 0);
            QCOMPARE(player.cd().playTrack(1), 0);
            QTest::mouseClick(&player.panel, Qt::LeftButton, {}, QPoint(42, 18));
            QCOMPARE(asker.questions().size(), 1);
            QVERIFY(asker.questions().first().text.startsWith(
                QStringLiteral("CD롬에 오디오 CD가 없거나 초기화 되지 않았습니다.")));
            QVERIFY(!player.panel.session().isAudioCdMode());
        }
    }

    // Tracks 3 and 1 selected play in row order; the position advances, the end of track 1
    // moves to track 3, a seek goes 2 s into it, and without repeat playback ends after it.
    void aSelectionPlaysThroughTheImage() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPlayer player(settingsFile(), m_tones);
        QVERIFY(player.listed());
        CAudioCdPanel &cd = player.cd();
        QVERIFY(cd.isActive());
        QCOMPARE(cd.list().topLevelItem(0)->text(0), QStringLiteral("트랙 01"));
        QCOMPARE(cd.list().topLevelItem(2)->text(1), QStringLiteral("00:05"));
        kivo::lists::selectRows(cd.list(), {2, 0});
        QCOMPARE(cd.startSelection(), 1);
        QCOMPARE(cd.order().tracks(), (std::vector<int>{1, 3}));
        QVERIFY(player.panel.session().isAudioCdMode());
        QCOMPARE(cd.device().currentTrack(), 1);
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kPlaying);
        QTRY_VERIFY_WITH_TIMEOUT(cd.device().positionSeconds() >= 1, 5000);

        QTRY_COMPARE_WITH_TIMEOUT(cd.device().currentTrack(), 3, 6000);
        QCOMPARE(cd.device().mode(), ICdDevice::kPlaying);
        QCOMPARE(cd.seek(2), 1);
        QTRY_VERIFY_WITH_TIMEOUT(cd.device().positionSeconds() >= 2, 3000);
        QVERIFY(cd.device().positionSeconds() < 5);
        QTRY_COMPARE_WITH_TIMEOUT(cd.device().mode(), ICdDevice::kStopped, 6000);
        QCOMPARE(cd.device().currentTrack(), 3);
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kStopped);
        QCOMPARE(cd.order().history(), (std::vector<int>{0, 1}));
        QVERIFY(asker.questions().isEmpty());
    }

    // The control panel's buttons act on the CD: next and previous (with repeat, previous at
    // the first entry goes to the last), pause and resume, stop; leaving CD mode stops it.
    void theTransportDrivesTheCdInCdMode() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPlayer player(settingsFile(), m_tones);
        QVERIFY(player.listed());
        CAudioCdPanel &cd = player.cd();
        CPlayerTransport &transport = player.panel.transport();
        cd.repeatBox().setChecked(true);
        QCOMPARE(cd.startSelection(), 1);
        // The disc is loaded and sounding: the next commands move a running stream.
        QTRY_VERIFY_WITH_TIMEOUT(cd.device().positionSeconds() >= 1, 5000);
        QVERIFY(transport.controls().seekButtons);
        QCOMPARE(transport.fastBackward(), 1);
        QCOMPARE(cd.device().currentTrack(), 3);
        QCOMPARE(transport.fastForward(), 1);
        QCOMPARE(cd.device().currentTrack(), 1);
        QCOMPARE(transport.stepForward(), 1);
        QCOMPARE(cd.device().currentTrack(), 3);
        QCOMPARE(transport.durationSeconds(), 5.0);
        QCOMPARE(transport.pauseToggle(), 1);
        QCOMPARE(cd.device().mode(), ICdDevice::kPaused);
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kPaused);
        QCOMPARE(transport.play(), 1);
        QCOMPARE(cd.device().mode(), ICdDevice::kPlaying);
        QCOMPARE(transport.stopAndRewind(), 1);
        QCOMPARE(cd.device().mode(), ICdDevice::kStopped);
        QCOMPARE(transport.play(), 1);
        QCOMPARE(cd.device().mode(), ICdDevice::kPlaying);
        player.panel.session().setAudioCdMode(false);
        QCOMPARE(cd.device().mode(), ICdDevice::kStopped);
        QVERIFY(!transport.controls().seekButtons);
        QVERIFY(asker.questions().isEmpty());
    }

    // The grid: (42,18) is track 2, played directly, painted yellow, the disc's other tracks
    // light grey; past the disc's last track "마지막 곡입니다." stops the CD.
    void theTrackGridPlaysTracksByNumber() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPlayer player(settingsFile(), m_tones);
        QVERIFY(player.listed());
        CAudioCdPanel &cd = player.cd();
        QTest::mouseClick(&player.panel, Qt::LeftButton, {}, QPoint(42, 18));
        QCOMPARE(cd.device().currentTrack(), 2);
        QVERIFY(cd.isDirectTrack());
        QVERIFY(player.panel.session().isAudioCdMode());
        QCOMPARE(player.panel.findChild<COVMsgST *>(QStringLiteral("static1224"))->message(),
                 QStringLiteral("오디오 CD"));
        const QImage face = player.panel.grab().toImage();
        bool yellow = false;
        bool grey = false;
        for (int x = 42; x < 53; ++x) {
            for (int y = 18; y < 32; ++y) {
                // Text is smoothed: the strongest pixels of a digit carry its colour.
                const QColor current = face.pixelColor(x, y);
                yellow |= current.red() > 200 && current.green() > 200 && current.blue() < 80;
                const QColor other = face.pixelColor(x - 11, y);
                grey |= other.red() > 0xB0 && other.red() == other.green() &&
                        other.green() == other.blue();
            }
        }
        QVERIFY(yellow);
        QVERIFY(grey);
        // A grid number past the disc does nothing; asked for by number (a remote request),
        // it stops the CD with the page's message.
        QTest::mouseClick(&player.panel, Qt::LeftButton, {}, QPoint(75, 50));
        QCOMPARE(cd.device().currentTrack(), 2);
        QVERIFY(asker.questions().isEmpty());
        QCOMPARE(cd.playTrack(14), 0);
        QCOMPARE(cd.device().mode(), ICdDevice::kStopped);
        QCOMPARE(texts(asker), QStringList{kivo::ui::applicationTitle() + u'|' +
                                           QStringLiteral("마지막 곡입니다.")});
    }

    // A disc taken out while it plays: the poll finds it gone, CD mode ends, the page empties.
    void aDiscRemovedWhilePlayingEndsCdMode() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        const std::string image = kivo::test::writeCdImage(folder(), "removed", {{20.0, 440}});
        CPlayer player(settingsFile(), image);
        QVERIFY(player.listed());
        QCOMPARE(player.cd().startSelection(), 1);
        QVERIFY(QFile::remove(QString::fromStdString(image)));
        QTRY_VERIFY_WITH_TIMEOUT(!player.panel.session().isAudioCdMode(), 6000);
        QVERIFY(!player.cd().isActive());
        QCOMPARE(player.cd().device().mode(), ICdDevice::kStopped);
        QCOMPARE(player.cd().list().topLevelItemCount(), 0);
    }

    // A disc put in while no file is open: the poll lists it and it starts playing.
    void aDiscPutInIsListedAndStarted() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        const std::string image = folder() + "/arriving.cue";
        CPlayer player(settingsFile(), image);
        QVERIFY(player.listed());
        QVERIFY(!player.cd().isActive());
        kivo::test::writeCdImage(folder(), "arriving", {{4.0, 440}, {4.0, 660}});
        QTRY_VERIFY_WITH_TIMEOUT(player.cd().isActive(), 6000);
        QCOMPARE(player.cd().list().topLevelItemCount(), 2);
        QVERIFY(player.panel.session().isAudioCdMode());
        QCOMPARE(player.cd().device().mode(), ICdDevice::kPlaying);
        QCOMPARE(player.cd().device().currentTrack(), 1);
    }

    // An image whose BIN ends before its last track: that track cannot play, and the device's
    // reason is shown under "MCI Error".
    void aTrackMissingFromTheBinIsAnMciError() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        const std::string image =
            kivo::test::writeCdImage(folder(), "short", {{2.0, 440}, {1.0, 660}}, 75);
        CPlayer player(settingsFile(), image);
        QVERIFY(player.listed());
        QVERIFY(player.cd().isActive());
        QCOMPARE(player.cd().playTrack(2), 0);
        QCOMPARE(asker.questions().size(), 1);
        QCOMPARE(asker.questions().first().caption, QStringLiteral("MCI Error"));
        QVERIFY(!asker.questions().first().text.isEmpty());
        // Without error reporting the failure is silent.
        player.cd().setErrorReporting(false);
        QCOMPARE(player.cd().playTrack(2), 0);
        QCOMPARE(asker.questions().size(), 1);
    }

    // The volume slider in CD mode runs over the mixer: 0 writes 2000, up at 64000 gives 65535,
    // and the speaker button mutes the sink.
    void theVolumeSliderDrivesTheMixerInCdMode() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPlayer player(settingsFile(), m_tones);
        QVERIFY(player.listed());
        QCOMPARE(player.cd().startSelection(), 1);
        CPlayerTransport &transport = player.panel.transport();
        QSignalSpy slider(&transport, &CPlayerTransport::volumeSliderChanged);
        QCOMPARE(transport.volumeSliderMoved(0), 1);
        QCOMPARE(slider.last().at(0).toInt(), 2000);
        QCOMPARE(CPulseServer::sinkVolume(), 2000);
        QCOMPARE(transport.volumeSliderMoved(64000), 1);
        QCOMPARE(transport.volumeUp(), 1);
        QCOMPARE(player.cd().mixer().volume(), 65535);
        QCOMPARE(CPulseServer::sinkVolume(), 65536);
        QCOMPARE(transport.setSoundOn(false), 1);
        QVERIFY(CPulseServer::sinkMuted());
        QCOMPARE(transport.setSoundOn(true), 1);
        QVERIFY(!CPulseServer::sinkMuted());
    }
};

QTEST_MAIN(TestAudioCd)
#include "test_audiocd.moc"
