// The player's answers to other programs, against a real engine and grabber on fixture media:
// the preconditions of each request, the jumps and their texts at the ends of a file, the rate
// steps, the caption through the reply block, and the numbers that get no answer.
#include <QSharedMemory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

#include "media/playback/playbackengine.h"
#include "player/remote/remotecontrol.h"
#include "player/remote/remoterequests.h"
#include "player/shell/sharedtextblock.h"
#include "player/transport/playercommands.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"
#include "testsupport/fixturepath.h"

using kivo::remote::CRemoteControl;
using kivo::remote::ERequest;
using kivo::shell::CTextReply;

namespace {

// The control panel's side as far as requests reach it: the transport's operations, the
// commands the requests run, and the windows they ask for (remembered).
class CTransportControl : public IPlayerControl {
public:
    CTransportControl(CPlayerSession &session, CPlayerTransport &transport)
        : m_session(session), m_transport(transport) {}
    int play() override { return m_transport.play(); }
    int pause() override { return m_transport.pauseToggle(); }
    int stop() override { return m_transport.stopAndRewind(); }
    int seekToFrame(double frame) override { return m_transport.seekToFrame(frame); }
    int seekToPosition(double position) override { return m_transport.seekToTime(position); }
    int openFile(const QString &, bool) override { return 0; }
    int saveDescription() override { return 0; }
    int runCommand(int id) override {
        commands.push_back(id);
        switch (id) {
            case kivo::player::kKeyZoomIn:
                return m_transport.zoomIn();
            case kivo::player::kKeyZoomOut:
                return m_transport.zoomOut();
            default:
                return commandResult;
        }
    }
    void showPlayState(const QString &) override {}
    int arrangeWindow(EWindowRequest request) override {
        windows.push_back(request);
        return 1;
    }
    QString stateText() const override {
        return m_session.isAudioCdMode() ? QStringLiteral("트랙 %1").arg(m_session.audioCdTrack())
                                         : path;
    }

    QString path;
    int commandResult = 1;
    std::vector<int> commands;
    std::vector<EWindowRequest> windows;

private:
    CPlayerSession &m_session;
    CPlayerTransport &m_transport;
};

// A session with a file open as the control panel opens it, and the request table on it.
struct CRemotePlayer {
    CPlayerSession session;
    CPlayerTransport transport{session};
    CTransportControl control{session, transport};
    CSharedTextBlock block{QStringLiteral("KIVOBTCDATA")};
    CRemoteControl remote{session, transport, block};
    bool opened = false;

    explicit CRemotePlayer(const char *name) {
        session.setControl(&control);
        session.engine().setAudioOutput(QStringLiteral("null"));
        QSignalSpy finished(&session.engine(), &CPlaybackEngine::openFinished);
        const int ticket = session.engine().startOpen(fixture(name));
        opened = ticket != 0 && finished.wait(15000) && finished.first().at(1).toInt() == 1;
        // Without a window the engine makes no video output: the grabber tells pictures.
        const bool frames = session.openGrabber(fixture(name)) == 1;
        transport.fileOpened(session.engine().duration() * 1e-7, frames, frames);
        control.path = fixture(name);
    }
    CTextReply ask(ERequest request, int32_t parameter = 0) {
        return remote.handle(uint32_t(request), parameter).value_or(CTextReply{-1, "none"});
    }
};

}  // namespace

class TestRemoteControl : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qputenv("KIVO_VIDEO_RENDERER", "software");
        // A reply block of this test's own.
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void timesAreFormattedTruncated_data() {
        QTest::addColumn<double>("position");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "00:00:00.000";
        QTest::newRow("negative") << -5e7 << "00:00:00.000";
        QTest::newRow("twelve seconds") << 12e7 << "00:00:12.000";
        QTest::newRow("truncated ms") << 12'345'6789.0 << "00:00:12.345";
        QTest::newRow("hours") << (3 * 3600 + 25 * 60 + 7.9999) * 1e7 << "03:25:07.999";
        QTest::newRow("a day") << 86400e7 << "24:00:00.000";
        QTest::newRow("not a number") << qQNaN() << "00:00:00.000";
        QTest::newRow("infinite") << qInf() << "00:00:00.000";
    }
    void timesAreFormattedTruncated() {
        QFETCH(double, position);
        QFETCH(QString, text);
        QCOMPARE(kivo::remote::formatReferenceTime(position), text);
    }

    // Forward from 2 s before the end lands on the end exactly, and the block holds the end
    // time; back near the start stops at 0. Playing stays playing, stopped stays stopped.
    void jumpsStopAtTheEndsOfTheFile() {
        CRemotePlayer player("index.mp4");
        QVERIFY(player.opened);
        const double end = player.transport.durationSeconds() * 1e7;
        QVERIFY(end > 0);
        QCOMPARE(player.session.control()->seekToPosition(end - 2e7), 1);
        const CTextReply atEnd = player.ask(ERequest::Forward);
        QCOMPARE(atEnd.result, 1);
        QCOMPARE(atEnd.text, kivo::remote::formatReferenceTime(end).toUtf8());
        QCOMPARE(player.block.read(), atEnd.text);
        QCOMPARE(player.session.playState(), CPlayerSession::kStopped);

        QCOMPARE(player.session.control()->seekToPosition(3e7), 1);
        QCOMPARE(player.ask(ERequest::Back).text, QByteArray("00:00:00.000"));
        QCOMPARE(player.ask(ERequest::Forward).text, QByteArray("00:00:05.000"));
        QCOMPARE(player.transport.play(), 1);
        QCOMPARE(player.ask(ERequest::Forward).result, 1);
        QCOMPARE(player.session.playState(), CPlayerSession::kPlaying);
        QVERIFY(player.session.engine().currentPosition() >= 5e7);
    }

    // Each request refused where its preconditions fail, with the player left as it was.
    void refusalsFollowThePreconditions() {
        CRemotePlayer player("cuts.mp4");
        QVERIFY(player.opened);
        QCOMPARE(player.ask(ERequest::Pause).result, 0);  // stopped: pause is greyed
        QCOMPARE(player.ask(ERequest::Stop).result, 0);
        QCOMPARE(player.ask(ERequest::Play).result, 1);
        QCOMPARE(player.block.read(), player.control.path.toUtf8());
        QCOMPARE(player.ask(ERequest::Play).result, 0);  // playing: play is greyed
        QCOMPARE(player.ask(ERequest::Pause).result, 1);
        QCOMPARE(player.session.playState(), CPlayerSession::kPaused);
        QCOMPARE(player.ask(ERequest::Stop).result, 1);

        // Next and previous go through the panel's commands; their refusal writes nothing.
        player.block.write("before");
        player.control.commandResult = 0;
        QCOMPARE(player.ask(ERequest::Next).result, 0);
        QCOMPARE(player.block.read(), QByteArray("before"));
        player.control.commandResult = 1;
        QCOMPARE(player.ask(ERequest::Previous), (CTextReply{1, player.control.path.toUtf8()}));
        QCOMPARE(player.control.commands,
                 (std::vector<int>{kivo::player::kKeyNextFile, kivo::player::kKeyPreviousFile}));

        // Audio-CD mode: no jumps, no rates, and the state is the track.
        player.session.setAudioCdMode(true);
        player.session.setAudioCdTrack(3);
        QCOMPARE(player.ask(ERequest::Forward).result, 0);
        QCOMPARE(player.ask(ERequest::Back).result, 0);
        QCOMPARE(player.ask(ERequest::Faster, 0).result, 0);
        QCOMPARE(player.session.playState(), CPlayerSession::kStopped);
        QCOMPARE(player.ask(ERequest::State), (CTextReply{1, QStringLiteral("트랙 3").toUtf8()}));
        player.session.setAudioCdMode(false);

        // Nothing open: every file request is refused.
        player.session.closeFile();
        player.transport.reset();
        for (const ERequest request : {ERequest::Play, ERequest::Forward, ERequest::Back,
                                       ERequest::ZoomIn, ERequest::ZoomOut, ERequest::Split}) {
            QCOMPARE(player.ask(request).result, 0);
        }
        QCOMPARE(player.ask(ERequest::State).result, 1);
    }

    // Zoom and split need pictures; a sound file has none.
    void pictureRequestsNeedAVideo() {
        CRemotePlayer sound("audio.m4a");
        QVERIFY(sound.opened);
        QCOMPARE(sound.ask(ERequest::ZoomIn).result, 0);
        QCOMPARE(sound.ask(ERequest::Split).result, 0);
        QVERIFY(sound.control.commands.empty());
        QCOMPARE(sound.ask(ERequest::Forward).text, QByteArray("00:00:03.000"));

        CRemotePlayer video("cuts.mp4");
        QVERIFY(video.opened);
        QCOMPARE(video.ask(ERequest::ZoomIn).result, 1);
        QCOMPARE(video.transport.sizeRate(), 1.5);
        QCOMPARE(video.ask(ERequest::ZoomOut).result, 1);
        QCOMPARE(video.ask(ERequest::Split).result, 1);
        QCOMPARE(video.control.commands.back(), int(kivo::player::kKeySceneSplit));
    }

    // The rate request always answers 0; it plays, or goes one step faster below 10, and a
    // step that would reach rate 0 (from -1) is refused.
    void rateRequestsStepAndRefuseZero() {
        CRemotePlayer player("cuts.mp4");
        QVERIFY(player.opened);
        QCOMPARE(player.ask(ERequest::Faster, 0).result, 0);
        QCOMPARE(player.session.playState(), CPlayerSession::kPlaying);
        QCOMPARE(player.ask(ERequest::Faster, 1).result, 0);
        QCOMPARE(player.session.engine().rate(), 2.0);
        QCOMPARE(player.session.playState(), CPlayerSession::kExtendedPlay);
        QCOMPARE(player.transport.setRate(9.0), 1);
        QCOMPARE(player.ask(ERequest::Faster, 1).result, 0);
        QCOMPARE(player.session.engine().rate(), 9.0);
        QCOMPARE(player.transport.setRate(-1.0), 1);
        QCOMPARE(player.ask(ERequest::Faster, 1).result, 0);
        QCOMPARE(player.session.engine().rate(), -1.0);
        QCOMPARE(player.ask(ERequest::Faster, 2).result, 0);
        QCOMPARE(player.session.engine().rate(), -1.0);
    }

    // The caption travels both ways through the block: read back by a request, set by one
    // from whatever the block holds (cut at 1023 bytes, no terminator needed).
    void captionsTravelThroughTheBlock() {
        CRemotePlayer player("cuts.mp4");
        player.session.setCaptionText(QStringLiteral("안녕하세요"));
        QCOMPARE(player.ask(ERequest::Caption),
                 (CTextReply{1, QStringLiteral("안녕하세요").toUtf8()}));

        CSharedTextBlock client(QStringLiteral("KIVOBTCDATA"));
        QCOMPARE(client.write(QStringLiteral("새 자막").toUtf8()), 1);
        QCOMPARE(player.ask(ERequest::SetCaption).result, 1);
        QCOMPARE(player.session.captionText(), QStringLiteral("새 자막"));

        // 5,000 bytes of three-byte characters: cut before the character that would not fit.
        QCOMPARE(client.write(QString(1667, QChar(0xAC00)).toUtf8()), 1);
        QCOMPARE(player.ask(ERequest::SetCaption).result, 1);
        QCOMPARE(player.session.captionText(), QString(341, QChar(0xAC00)));

        QSharedMemory raw(CSharedTextBlock::keyFor(QStringLiteral("KIVOBTCDATA")));
        QVERIFY(raw.attach());
        std::memset(raw.data(), 'x', CSharedTextBlock::kSize);
        QCOMPARE(player.ask(ERequest::SetCaption).result, 1);
        QCOMPARE(player.session.captionText(), QString(CSharedTextBlock::kSize - 1, u'x'));
        // The player still writes the block it read.
        QCOMPARE(player.ask(ERequest::Caption).text.size(), CSharedTextBlock::kSize - 1);
    }

    // The window requests reach the panel as asked; the reserved numbers and anything outside
    // the range get no answer; without a control panel everything is refused.
    void windowsReservedAndUnknownNumbers() {
        CRemotePlayer player("cuts.mp4");
        using EWindow = IPlayerControl::EWindowRequest;
        for (const ERequest request :
             {ERequest::ShowFinder, ERequest::ShowPlaylist, ERequest::ShowScenes,
              ERequest::HideInfo, ERequest::Maximize, ERequest::HideVideo}) {
            QCOMPARE(player.ask(request).result, 1);
        }
        QCOMPARE(player.control.windows,
                 (std::vector<EWindow>{EWindow::FinderPage, EWindow::PlaylistPage,
                                       EWindow::SceneTreePage, EWindow::HideInformation,
                                       EWindow::MaximizeVideo, EWindow::HideVideo}));
        QCOMPARE(player.ask(ERequest::Channel).result, 1);
        QCOMPARE(player.control.commands.back(), int(kivo::player::kChannelButton));

        for (const uint32_t code :
             {0x1793u, 0x1794u, 0x1797u, 0x1798u, 0x17A0u, 0x1788u, 0x17A3u, 0u, 0xFFFFFFFFu}) {
            QVERIFY2(!player.remote.handle(code, 0), qPrintable(QString::number(code, 16)));
        }
        player.session.setControl(nullptr);
        QCOMPARE(player.ask(ERequest::State).result, 0);
    }

private:
    QTemporaryDir m_runtime;
};

QTEST_GUILESS_MAIN(TestRemoteControl)
#include "test_remotecontrol.moc"
