// The control panel's transport against a real engine (no sound output) and a real grabber on a
// fixture video: the play state machine row by row, extended play, steps at the ends, seeks in
// place, zoom limits, the volume mapping and what the displays are told.
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>

#include "media/grabber/videomanager.h"
#include "media/playback/playbackengine.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"
#include "scene/videodescription.h"
#include "testsupport/fixturepath.h"

namespace {

// A playlist of names: starting it only counts (the files themselves are not needed here).
class CNamesPlaylist : public IPlaylistPlayer {
public:
    QStringList names;
    int started = 0;
    bool hasEntries() const override { return !names.isEmpty(); }
    bool isPlaying() const override { return started > 0; }
    int start() override { return ++started; }
    int playNext() override { return 0; }
};

// A session with a file open as the control panel opens it.
struct COpenFile {
    CPlayerSession session;
    CPlayerTransport transport{session};

    explicit COpenFile(const char *name = "cuts.mp4") {
        session.engine().setAudioOutput(QStringLiteral("null"));
        QSignalSpy finished(&session.engine(), &CPlaybackEngine::openFinished);
        const int ticket = session.engine().startOpen(fixture(name));
        opened = ticket != 0 && finished.wait(15000) && finished.first().at(1).toInt() == 1;
        const bool frames = session.openGrabber(fixture(name)) == 1;
        transport.fileOpened(session.engine().duration() * 1e-7, frames, frames);
    }
    int state() const { return session.playState(); }
    bool opened = false;
};

}  // namespace

class TestPlayerTransport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("KIVO_VIDEO_RENDERER", "software"); }

    // The state machine of the panel, row by row, and the texts the play-state line shows.
    void playStatesFollowTheTable() {
        COpenFile file;
        QVERIFY(file.opened);
        CPlayerTransport &transport = file.transport;
        QSignalSpy texts(&transport, &CPlayerTransport::playStateTextChanged);
        QCOMPARE(file.state(), CPlayerSession::kStopped);

        QCOMPARE(transport.play(), 1);
        QCOMPARE(file.state(), CPlayerSession::kPlaying);
        QCOMPARE(transport.play(), 0);
        QCOMPARE(transport.pauseToggle(), 1);
        QCOMPARE(file.state(), CPlayerSession::kPaused);
        QCOMPARE(transport.play(), 1);  // play while paused resumes
        QCOMPARE(file.state(), CPlayerSession::kPlaying);

        // Extended play at 5x, paused and resumed: 5x again, not 1x.
        QCOMPARE(transport.setRate(5.0), 1);
        QCOMPARE(file.state(), CPlayerSession::kExtendedPlay);
        QCOMPARE(transport.setRate(5.0), 0);
        QCOMPARE(transport.pauseToggle(), 1);
        QCOMPARE(file.state(), CPlayerSession::kPaused);
        QCOMPARE(transport.pauseToggle(), 1);
        QCOMPARE(file.state(), CPlayerSession::kExtendedPlay);
        QCOMPARE(file.session.engine().rate(), 5.0);

        // Play from extended play: stopped first, then at rate 1.
        QCOMPARE(transport.play(), 1);
        QCOMPARE(file.state(), CPlayerSession::kPlaying);
        QCOMPARE(file.session.engine().rate(), 1.0);
        QCOMPARE(transport.stopAndRewind(), 1);
        QCOMPARE(file.state(), CPlayerSession::kStopped);
        QCOMPARE(transport.stopAndRewind(), 0);
        QCOMPARE(transport.pauseToggle(), 0);

        transport.setRepeatMode(true);
        transport.play();
        QCOMPARE(texts.last().at(0).toString(), QStringLiteral("반복 재생"));
        transport.fastBackward();
        QCOMPARE(texts.last().at(0).toString(), QStringLiteral("빨리 뒤로"));
        transport.setRate(0.5);
        QCOMPARE(texts.last().at(0).toString(), QStringLiteral("천천히 앞으로"));
        transport.setRate(-0.5);
        QCOMPARE(texts.last().at(0).toString(), QStringLiteral("천천히 뒤로"));
        transport.stopWithoutRewinding();
        QCOMPARE(texts.last().at(0).toString(), QStringLiteral("멈춤"));

        transport.reset();
        QVERIFY(!transport.isFileOpen());
        QVERIFY(!transport.isRepeatMode());
        QCOMPARE(transport.play(), 0);
    }

    // Repeat playback on the engine's own ticks: the first section (count 2) plays twice, the
    // second (count 1) once, then the player stops at the first one's start; the position
    // slider is greyed meanwhile. A deleted section leaves the running list.
    void repeatSectionsPlayInTurnAsOftenAsTheirCounts() {
        COpenFile file;
        QVERIFY(file.opened);
        CPlayerTransport &transport = file.transport;
        CPlaybackEngine &engine = file.session.engine();
        // Where playback was at every tick, and which section was current then (seen before the
        // transport takes the tick).
        int current = -1;
        QList<QPair<int, double>> ticks;
        QObject::connect(&transport, &CPlayerTransport::repeatSectionStarted, &transport,
                         [&current](int index) { current = index; });
        QObject::connect(&file.session, &CPlayerSession::positionUpdated, &transport,
                         [&](double position) {
                             if (current >= 0) {
                                 ticks.append({current, position});
                             }
                         });
        QObject::connect(&file.session, &CPlayerSession::positionUpdated, &transport,
                         &CPlayerTransport::positionUpdate);
        auto description = std::make_unique<CVideoDescription>();
        description->repeatSections().push_back({0, "a", 1.0e7, 1.6e7, 2});
        description->repeatSections().push_back({1, "b", 4.0e7, 4.4e7, 1});
        description->repeatSections().push_back({2, "c", 2.0e7, 2.2e7, 0});
        file.session.replaceDescription(std::move(description));

        QVERIFY(transport.play());
        QSignalSpy started(&transport, &CPlayerTransport::repeatSectionStarted);
        QCOMPARE(transport.startRepeatPlayback({0, 1}), 1);
        QVERIFY(transport.isRepeatMode());
        QVERIFY(!transport.controls().positionSlider);
        QCOMPARE(file.state(), CPlayerSession::kStopped);
        QCOMPARE(engine.currentPosition(), 1.0e7);
        QCOMPARE(started.size(), 1);

        QCOMPARE(transport.play(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(file.state(), CPlayerSession::kStopped, 15000);
        QList<int> order;
        for (const QList<QVariant> &signal : started) {
            order.append(signal.at(0).toInt());
        }
        QCOMPARE(order, (QList<int>{0, 0, 1, 0}));
        QCOMPARE(engine.currentPosition(), 1.0e7);
        // No tick strays far outside its section: the jumps happen at the section's end.
        for (const auto &[section, position] : ticks) {
            const double start = section == 0 ? 1.0e7 : 4.0e7;
            const double end = section == 0 ? 1.6e7 : 4.4e7;
            QVERIFY2(position >= start - 0.5e7 && position <= end + 0.5e7,
                     qPrintable(QStringLiteral("%1 at %2").arg(section).arg(position)));
        }
        // The second section was seen playing.
        QVERIFY(std::count_if(ticks.begin(), ticks.end(),
                              [](const auto &tick) { return tick.first == 1; }) > 0);

        transport.repeatSectionRemoved(0);
        QCOMPARE(transport.repeatPlayer().sections(), (std::vector<size_t>{0}));
        transport.repeatSectionRemoved(0);
        QVERIFY(!transport.isRepeatMode());
        QVERIFY(transport.controls().positionSlider);
        QCOMPARE(transport.startRepeatPlayback({}), 0);
    }

    // An engine that refuses leaves the state as it was.
    void aRefusingEngineChangesNothing() {
        COpenFile file;
        QVERIFY(file.opened);
        QCOMPARE(file.transport.play(), 1);
        file.session.engine().close();
        QCOMPARE(file.transport.pauseToggle(), 0);
        QCOMPARE(file.state(), CPlayerSession::kPlaying);
        QCOMPARE(file.transport.stopWithoutRewinding(), 0);
        QCOMPARE(file.state(), CPlayerSession::kPlaying);
    }

    // Steps are one frame time; none past the end, none before the earliest position. Seeks
    // in place keep the play state; the end of the stream goes back to the start.
    void stepsAndSeeksStayInsideTheMedia() {
        COpenFile file;
        QVERIFY(file.opened);
        CPlayerTransport &transport = file.transport;
        CPlaybackEngine &engine = file.session.engine();
        QCOMPARE(transport.stepBack(), 1);
        QCOMPARE(engine.currentPosition(), engine.earliest());
        QCOMPARE(transport.stepForward(), 1);
        QCOMPARE(engine.currentPosition(), engine.earliest() + CPlayerTransport::kStep);

        const double nearEnd = engine.duration() - CPlayerTransport::kStep / 2;
        QCOMPARE(transport.seek(nearEnd, true), 1);
        QCOMPARE(transport.stepForward(), 0);
        QCOMPARE(engine.currentPosition(), nearEnd);

        QCOMPARE(transport.play(), 1);
        QCOMPARE(transport.seekToFrame(40), 1);
        QCOMPARE(file.state(), CPlayerSession::kPlaying);
        QCOMPARE(transport.seekToTime(-1), 0);

        QSignalSpy slider(&transport, &CPlayerTransport::positionSliderChanged);
        QCOMPARE(transport.endOfStream(), 1);
        QCOMPARE(file.state(), CPlayerSession::kStopped);
        QCOMPARE(engine.currentPosition(), 0.0);
        QCOMPARE(slider.last().at(0).toInt(), 0);
    }

    // Remaining or elapsed seconds on the display; the time of day for a live stream.
    void theTimeDisplayShowsRemainingElapsedOrTheClock() {
        COpenFile file;
        QVERIFY(file.opened);
        CPlayerTransport &transport = file.transport;
        QSignalSpy shown(&transport, &CPlayerTransport::timeDisplayChanged);
        const double duration = transport.durationSeconds();
        transport.positionUpdate(2e7);
        QCOMPARE(shown.last().at(0).toInt(), int(std::lround(duration - 2)));
        transport.toggleTimeDisplayMode();
        QCOMPARE(shown.last().at(0).toInt(), 2);

        transport.fileOpened(0, false, false);
        const QTime before = QTime::currentTime();
        transport.positionUpdate(2e7);
        const int clock = shown.last().at(0).toInt();
        QVERIFY(std::abs(clock - before.msecsSinceStartOfDay() / 1000) <= 1);
        QCOMPARE(transport.controls().seekButtons, false);
        QCOMPARE(transport.controls().positionSlider, false);
        QCOMPARE(transport.setRate(2.0), 0);
    }

    // The size rate stays within 0.5 and 5; the volume slider maps to hundredths of a decibel.
    void zoomAndVolumeKeepTheirLimits() {
        COpenFile file;
        QVERIFY(file.opened);
        CPlayerTransport &transport = file.transport;
        QSignalSpy resized(&transport, &CPlayerTransport::sizeRateChanged);
        transport.setSizeRate(4.5);
        QCOMPARE(transport.zoomIn(), 1);
        QCOMPARE(transport.zoomIn(), 0);
        QCOMPARE(transport.sizeRate(), 5.0);
        transport.setSizeRate(1.0);
        QCOMPARE(transport.zoomOut(), 1);
        QCOMPARE(transport.zoomOut(), 0);
        QCOMPARE(transport.sizeRate(), 0.5);
        QCOMPARE(resized.size(), 2);

        for (const auto &[slider, level] :
             {std::pair{0, -4100}, {2, -4018}, {3, -3977}, {100, 0}}) {
            QCOMPARE(CPlayerTransport::engineVolumeOf(slider), level);
        }

        COpenFile sound("audio.m4a");
        QVERIFY(sound.opened);
        sound.transport.volumeSliderMoved(3);
        QCOMPARE(sound.session.engine().volume(), -3977);
        sound.transport.volumeSliderMoved(2);  // -4018: below the engine's floor, silence
        QCOMPARE(sound.session.engine().volume(), -10000);
        sound.transport.volumeSliderMoved(95);
        QCOMPARE(sound.transport.volumeUp(), 1);
        QCOMPARE(sound.transport.volumeSlider(), 100);
        QCOMPARE(sound.session.engine().volume(), 0);
        sound.transport.setSoundOn(false);
        QCOMPARE(sound.transport.volumeDown(), 0);
        QCOMPARE(sound.transport.volumeSlider(), 100);
    }

    // Without a file the play button is there only for a playlist, and starts it.
    void withoutAFileThePlayButtonStartsThePlaylist() {
        CPlayerSession session;
        CPlayerTransport transport(session);
        CNamesPlaylist playlist;
        transport.setPlaylist(&playlist);
        QVERIFY(!transport.controls().play);
        QCOMPARE(transport.play(), 0);
        playlist.names << QStringLiteral("a.avi");
        QVERIFY(transport.controls().play);
        QCOMPARE(transport.play(), 1);
        QCOMPARE(playlist.started, 1);
    }
};

QTEST_GUILESS_MAIN(TestPlayerTransport)
#include "test_playertransport.moc"
