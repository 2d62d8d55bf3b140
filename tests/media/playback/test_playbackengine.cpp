// The playback engine against real libmpv without any window: no sound output, no video output
// (the video is decoded and thrown away), the fixture media and local servers for network
// addresses. What the picture shows is the window's test.

#include "media/playback/audiolevels.h"
#include "media/playback/playbackengine.h"
#include "media/playback/playbacktestsupport.h"
#include "platform/cp949.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<CPlaybackEngine> makeEngine() {
    auto engine = std::make_unique<CPlaybackEngine>();
    engine->setAudioOutput(QStringLiteral("null"));
    return engine;
}

}  // namespace

class TestPlaybackEngine : public QObject {
    Q_OBJECT

private slots:
    void openFinishesOncePerTicket();
    void badInputFailsCleanly();
    void hangingAddressTimesOut();
    void volumeAndBalanceAreClampedAndApplied();
    void volumeLevelsBecomeTrueDecibels();
    void transportFollowsTheStateRules();
    void playingTicksEvery125Milliseconds();
    void reverseRateStepsBackToTheStart();
    void refusedForwardRateStepsPastTheEnd();
    void playingToTheEndCompletes();
    void captionFileGivesTextEventsAtItsTimes();
    void networkStallBuffersAndResumes();
    void closeResetsTheFileButKeepsSettings();
    void playlistsAreToldApartAndWalked();
};

void TestPlaybackEngine::openFinishesOncePerTicket() {
    const auto engine = makeEngine();
    std::vector<std::pair<int, int>> reports;
    QObject::connect(engine.get(), &CPlaybackEngine::openFinished, engine.get(),
                     [&reports](int ticket, int result) { reports.emplace_back(ticket, result); });
    const auto reportsOf = [&reports](int ticket) {
        std::vector<int> results;
        for (const auto &[reported, result] : reports) {
            if (reported == ticket) {
                results.push_back(result);
            }
        }
        return results;
    };

    // Refused at once: no ticket, no report.
    QCOMPARE(engine->startOpen(QString()), 0);
    QCOMPARE(engine->startOpen(fixture("missing.mp4")), 0);

    const int first = engine->startOpen(fixture("index.mp4"));
    QVERIFY(first > 0);
    QCOMPARE(engine->state(), int(CPlaybackEngine::kClosed));  // not open yet
    QTRY_COMPARE(reportsOf(first), std::vector<int>{1});
    QCOMPARE(reports.size(), size_t(1));
    QCOMPARE(engine->state(), int(CPlaybackEngine::kStopped));
    QVERIFY(engine->duration() > 0);  // read before the report

    // Superseded by another open: the earlier one fails, the later one opens.
    CSilentServer server;
    const int hanging = engine->startOpen(server.address());
    const int second = engine->startOpen(fixture("audio.m4a"));
    QVERIFY(hanging > first && second > hanging);
    QTRY_COMPARE(reportsOf(second), std::vector<int>{1});
    QCOMPARE(reportsOf(hanging), std::vector<int>{0});
    QCOMPARE(engine->mediaPath(), fixture("audio.m4a"));

    // Superseded by close, reported later from the event loop.
    const int closed = engine->startOpen(server.address());
    engine->close();
    QVERIFY(reportsOf(closed).empty());
    QTRY_COMPARE(reportsOf(closed), std::vector<int>{0});

    QTest::qWait(300);
    QCOMPARE(reports.size(), size_t(4));  // each ticket reported once
}

void TestPlaybackEngine::volumeAndBalanceAreClampedAndApplied() {
    const auto engine = makeEngine();
    QCOMPARE(engine->setVolume(-3000), 0);  // no file
    QCOMPARE(openFile(*engine, fixture("audio.m4a")), 1);
    const struct {
        int requested;
        int applied;
    } volumes[] = {{-3000, -3000}, {-4000, -4000},   {-4001, -10000},   {-4500, -10000},
                   {100, 0},       {-10000, -10000}, {INT_MIN, -10000}, {0, 0}};
    for (const auto &v : volumes) {
        QCOMPARE(engine->setVolume(v.requested), 1);
        QCOMPARE(engine->volume(), v.applied);
    }
    QCOMPARE(engine->setVolume(-1500), 1);
    QCOMPARE(engine->setMute(true), 1);
    QCOMPARE(engine->volume(), -1500);  // muting remembers the level for unmuting
    QCOMPARE(engine->setMute(false), 1);
    QCOMPARE(engine->volume(), -1500);

    // libmpv accepts the balance filter only if its graph is valid for this file's sound.
    const struct {
        int requested;
        int applied;
    } balances[] = {{-500, -500}, {20000, 10000}, {-10001, -10000}, {0, 0}, {3000, 3000}};
    for (const auto &b : balances) {
        QCOMPARE(engine->setBalance(b.requested), 1);
        QCOMPARE(engine->balance(), b.applied);
    }
    QCOMPARE(engine->play(), 1);  // the filters work on the running sound too
    QCOMPARE(engine->setBalance(-2000), 1);
    QCOMPARE(engine->stop(), 1);

    // A video without sound has no volume to set.
    QCOMPARE(openFile(*engine, fixture("index.mp4")), 1);
    QCOMPARE(engine->setVolume(-100), 0);
    QCOMPARE(engine->setBalance(100), 0);
}

void TestPlaybackEngine::volumeLevelsBecomeTrueDecibels() {
    // libmpv's gain is (volume / 100)^3, so the percentage is the cube root of the linear gain.
    const struct {
        int level;
        double percent;
    } cases[] = {{0, 100.0},
                 {-2000, 100.0 * std::cbrt(0.1)},
                 {-3000, 100.0 * std::cbrt(std::pow(10.0, -1.5))},
                 {-6000, 10.0},
                 {-10000, 0.0}};
    for (const auto &c : cases) {
        QVERIFY2(std::abs(mpvVolumeForLevel(c.level) - c.percent) < 1e-9,
                 qPrintable(QString::number(c.level)));
        const double gain = std::pow(mpvVolumeForLevel(c.level) / 100.0, 3);
        if (c.level > kSilence) {
            QVERIFY(std::abs(20 * std::log10(gain) - c.level / 100.0) < 1e-9);
        }
    }
    QVERIFY(balanceFilterChain(0).isEmpty());
    QVERIFY(balanceFilterChain(2000).contains(QStringLiteral("c0=0.100000*c0|c1=1.000000*c1")));
    QVERIFY(balanceFilterChain(-10000).contains(QStringLiteral("c0=1.000000*c0|c1=0.000000*c1")));
}

void TestPlaybackEngine::badInputFailsCleanly() {
    QTemporaryDir dir;
    QFile text(dir.filePath(QStringLiteral("notes.mp4")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("this is not a video at all\n");
    text.close();
    QFile empty(dir.filePath(QStringLiteral("empty.avi")));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();

    const auto engine = makeEngine();
    const QString inputs[] = {QString(),       dir.filePath(QStringLiteral("missing.mp4")),
                              text.fileName(), empty.fileName(),
                              dir.path(),      QStringLiteral("http://127.0.0.1:1/refused.mp4")};
    for (const QString &input : inputs) {
        engine->setSecondPath(fixture("audio.m4a"));
        QCOMPARE(openFile(*engine, input), 0);
        QCOMPARE(engine->state(), int(CPlaybackEngine::kClosed));
        QVERIFY(engine->secondPath().isEmpty());
        QCOMPARE(engine->duration(), 0.0);
        QCOMPARE(engine->currentPosition(), -1.0);
        QCOMPARE(engine->play(), 0);
    }
    // Still usable afterwards.
    QCOMPARE(openFile(*engine, fixture("index.mp4")), 1);
}

void TestPlaybackEngine::hangingAddressTimesOut() {
    CSilentServer server;
    const auto engine = makeEngine();
    engine->setOpenTimeout(800);
    QSignalSpy finished(engine.get(), &CPlaybackEngine::openFinished);
    QElapsedTimer clock;
    clock.start();
    const int ticket = engine->startOpen(server.address());
    QVERIFY(ticket > 0);
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(finished.wait(5000));
    QVERIFY2(clock.elapsed() >= 750, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(finished.takeFirst(), (QVariantList{ticket, 0}));
    QCOMPARE(engine->state(), int(CPlaybackEngine::kClosed));
    QVERIFY(engine->mediaPath().isEmpty());
}

void TestPlaybackEngine::transportFollowsTheStateRules() {
    const auto engine = makeEngine();
    QCOMPARE(engine->state(), int(CPlaybackEngine::kClosed));
    QCOMPARE(engine->play(), 0);
    QCOMPARE(engine->pause(), 0);
    QCOMPARE(engine->stop(), 0);
    QCOMPARE(engine->seek(0), 0);
    QCOMPARE(engine->currentPosition(), -1.0);

    QCOMPARE(openFile(*engine, fixture("index.mp4")), 1);
    QCOMPARE(engine->stop(), 0);  // stop while stopped
    QCOMPARE(engine->state(), int(CPlaybackEngine::kStopped));
    QCOMPARE(engine->pause(), 1);  // pause while stopped: 3 -> 2
    QCOMPARE(engine->state(), int(CPlaybackEngine::kPaused));
    QCOMPARE(engine->pause(), 0);
    QCOMPARE(engine->stop(), 1);  // 2 -> 3
    QCOMPARE(engine->play(), 1);  // 3 -> 1
    QCOMPARE(engine->state(), int(CPlaybackEngine::kRunning));
    QCOMPARE(engine->play(), 0);
    QCOMPARE(engine->pause(), 1);  // 1 -> 2
    QCOMPARE(engine->play(), 1);   // 2 -> 1
    QCOMPARE(engine->stop(), 1);   // 1 -> 3
    QCOMPARE(engine->seek(-1), 0);
    QCOMPARE(engine->seek(std::nan("")), 0);
    QCOMPARE(engine->state(), int(CPlaybackEngine::kStopped));

    // No ticks outside the running state.
    QSignalSpy ticks(engine.get(), &CPlaybackEngine::tick);
    QTest::qWait(300);
    QCOMPARE(ticks.count(), 0);
    engine->close();
    QCOMPARE(engine->state(), int(CPlaybackEngine::kClosed));
    QCOMPARE(engine->play(), 0);
}

void TestPlaybackEngine::playingTicksEvery125Milliseconds() {
    const auto engine = makeEngine();
    QCOMPARE(openFile(*engine, fixture("index.mp4")), 1);
    std::vector<qint64> arrivals;
    std::vector<double> positions;
    QElapsedTimer clock;
    QObject::connect(engine.get(), &CPlaybackEngine::tick, engine.get(), [&] {
        arrivals.push_back(clock.elapsed());
        positions.push_back(engine->currentPosition());
    });
    clock.start();
    QCOMPARE(engine->play(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(arrivals.size() >= 9, 3000);
    QCOMPARE(engine->pause(), 1);
    const double mean = double(arrivals.back() - arrivals.front()) / double(arrivals.size() - 1);
    QVERIFY2(mean > 110 && mean < 140, qPrintable(QString::number(mean)));
    QVERIFY(positions.back() > positions.front());
}

void TestPlaybackEngine::reverseRateStepsBackToTheStart() {
    const auto engine = makeEngine();
    QCOMPARE(openFile(*engine, fixture("index.mp4")), 1);
    QCOMPARE(engine->seek(1e7), 1);
    std::vector<double> positions;
    QObject::connect(engine.get(), &CPlaybackEngine::tick, engine.get(),
                     [&] { positions.push_back(engine->currentPosition()); });
    QSignalSpy ended(engine.get(), &CPlaybackEngine::steppedEnd);
    engine->setRate(-2.0);
    QCOMPARE(engine->play(), 1);
    QCOMPARE(engine->state(), int(CPlaybackEngine::kRunning));
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 3000);
    // 1 s, then back 2,666,400 units per tick until the next step would pass the start.
    const std::vector<double> expected = {1e7 - 2666400, 1e7 - 2 * 2666400, 1e7 - 3 * 2666400};
    QCOMPARE(positions, expected);
    QCOMPARE(engine->state(), int(CPlaybackEngine::kStopped));
    QTest::qWait(300);
    QCOMPARE(positions.size(), size_t(3));  // the timer is gone
}

void TestPlaybackEngine::refusedForwardRateStepsPastTheEnd() {
    const auto engine = makeEngine();
    QCOMPARE(openFile(*engine, fixture("cuts.mp4")), 1);
    QSignalSpy ended(engine.get(), &CPlaybackEngine::steppedEnd);
    QSignalSpy ticks(engine.get(), &CPlaybackEngine::tick);
    engine->setRate(1000.0);  // beyond libmpv's fastest: stepped, 133 s per tick
    QCOMPARE(engine->play(), 1);
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ticks.count(), 0);
    QCOMPARE(engine->state(), int(CPlaybackEngine::kStopped));

    engine->setRate(2.0);  // a rate libmpv plays itself
    QCOMPARE(engine->play(), 1);
    QTRY_VERIFY(ticks.count() >= 2);
    QCOMPARE(ended.count(), 1);
}

void TestPlaybackEngine::playingToTheEndCompletes() {
    const auto engine = makeEngine();
    CEventLog<CPlaybackEngine> log(*engine);
    QCOMPARE(openFile(*engine, fixture("cuts.mp4")), 1);
    QCOMPARE(engine->seek(engine->duration() - 0.3e7), 1);
    QCOMPARE(engine->play(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(CPlaybackEngine::kEventComplete), 1, 3000);
    QCOMPARE(engine->state(), int(CPlaybackEngine::kRunning));  // the parent decides to stop
    QCOMPARE(engine->stop(), 1);
    // Running again at the end completes again at once.
    QCOMPARE(engine->play(), 1);
    QTRY_COMPARE(log.count(CPlaybackEngine::kEventComplete), 2);
    QCOMPARE(engine->stop(), 1);
    QCOMPARE(log.count(CPlaybackEngine::kEventErrorAbort), 0);
}

void TestPlaybackEngine::captionFileGivesTextEventsAtItsTimes() {
    // A SAMI file as Korean Windows writes it: code page 949.
    const std::string sami =
        "<SAMI>\n<HEAD><STYLE TYPE=\"text/css\"><!--\n"
        "P { font-family: Gulim; }\n.KRCC { Name: Korean; lang: ko-KR; SAMIType: CC; }\n"
        "--></STYLE></HEAD>\n<BODY>\n"
        "<SYNC Start=300><P Class=KRCC>첫 자막\n"
        "<SYNC Start=700><P Class=KRCC>&nbsp;\n"
        "<SYNC Start=900><P Class=KRCC>둘째 자막\n"
        "</BODY>\n</SAMI>\n";
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("index.smi")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    const std::string bytes = *kivo::utf8ToCp949(sami);
    file.write(bytes.data(), qint64(bytes.size()));
    file.close();

    const auto engine = makeEngine();
    CEventLog<CPlaybackEngine> log(*engine);
    engine->setSecondPath(file.fileName());
    QCOMPARE(openFile(*engine, fixture("index.mp4")), 1);
    QCOMPARE(engine->play(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(log.count(CPlaybackEngine::kEventText) >= 3, 4000);
    QCOMPARE(engine->stop(), 1);

    std::vector<CEventLog<CPlaybackEngine>::CEvent> captions;
    for (const auto &event : log.events) {
        if (event.code == CPlaybackEngine::kEventText) {
            captions.push_back(event);
        }
    }
    QCOMPARE(captions[0].text, QStringLiteral("첫 자막"));
    QVERIFY(captions[1].text.trimmed().isEmpty());
    QCOMPARE(captions[2].text, QStringLiteral("둘째 자막"));
    // Each arrives when playback reaches its time (within a tick or two of it).
    const double starts[] = {0.3e7, 0.7e7, 0.9e7};
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(captions[size_t(i)].position >= starts[i] - 0.5e6 &&
                     captions[size_t(i)].position <= starts[i] + 2.5e6,
                 qPrintable(QString::number(captions[size_t(i)].position)));
    }
}

void TestPlaybackEngine::networkStallBuffersAndResumes() {
    CTrickleServer server(fixture("cuts.mkv"), 0.3);
    const auto engine = makeEngine();
    CEventLog<CPlaybackEngine> log(*engine);
    engine->setBufferingTime(0.5);
    QCOMPARE(openFile(*engine, server.address()), 1);
    QCOMPARE(engine->play(), 1);
    // The data stops about two seconds into the media (Matroska needs no more than its header
    // to open): playback waits for the cache.
    QTRY_VERIFY_WITH_TIMEOUT(log.count(CPlaybackEngine::kEventBufferingData) == 1, 8000);
    QCOMPARE(log.events.back().parameter, 1);
    const int progress = engine->bufferingProgress();
    QVERIFY2(progress >= 0 && progress <= 100, qPrintable(QString::number(progress)));
    const double stalledAt = engine->currentPosition();
    QVERIFY2(stalledAt > 0.5e7 && stalledAt < 4e7, qPrintable(QString::number(stalledAt)));

    server.release();
    QTRY_VERIFY_WITH_TIMEOUT(log.count(CPlaybackEngine::kEventBufferingData) == 2, 8000);
    QCOMPARE(log.events.back().parameter, 0);
    QTRY_VERIFY(engine->currentPosition() > stalledAt + 0.2e7);
    QCOMPARE(engine->state(), int(CPlaybackEngine::kRunning));

    // A local file is no network stream.
    QCOMPARE(openFile(*engine, fixture("cuts.mkv")), 1);
    QCOMPARE(engine->bufferingProgress(), -1);
}

void TestPlaybackEngine::closeResetsTheFileButKeepsSettings() {
    const auto engine = makeEngine();
    engine->setEffectsEnabled(true);
    engine->setBufferingTime(4.5);
    engine->setRate(-2.0);
    engine->setSecondPath(QStringLiteral("/nowhere/captions.smi"));
    QCOMPARE(openFile(*engine, fixture("audio.m4a")), 1);
    QCOMPARE(engine->secondPath(), QStringLiteral("/nowhere/captions.smi"));
    QCOMPARE(engine->setVolume(-2000), 1);
    QCOMPARE(engine->setBalance(500), 1);
    QCOMPARE(engine->play(), 1);  // stepped, timer running

    engine->close();
    QCOMPARE(engine->state(), int(CPlaybackEngine::kClosed));
    QVERIFY(engine->mediaPath().isEmpty());
    QVERIFY(engine->secondPath().isEmpty());
    QCOMPARE(engine->rate(), 1.0);
    QCOMPARE(engine->volume(), 0);
    QCOMPARE(engine->balance(), 0);
    QCOMPARE(engine->duration(), 0.0);
    QCOMPARE(engine->latest(), 0.0);
    QVERIFY(!engine->hasVideo());
    QVERIFY(engine->effectsEnabled());
    QCOMPARE(engine->bufferingTime(), 4.5);
    QCOMPARE(engine->bufferingProgress(), -1);
    QSignalSpy ticks(engine.get(), &CPlaybackEngine::tick);
    QSignalSpy ended(engine.get(), &CPlaybackEngine::steppedEnd);
    QTest::qWait(300);
    QCOMPARE(ticks.count() + ended.count(), 0);

    // A file opened over another, without closing first, has its own facts: the silent video
    // has no volume to set, the sound file has.
    QCOMPARE(openFile(*engine, fixture("audio.m4a")), 1);
    QCOMPARE(openFile(*engine, fixture("index.mp4")), 1);
    QCOMPARE(engine->mediaPath(), fixture("index.mp4"));
    QVERIFY(engine->duration() > 5e7);
    QCOMPARE(engine->setVolume(-100), 0);
    QCOMPARE(openFile(*engine, fixture("audio.m4a")), 1);
    QVERIFY(std::abs(engine->duration() - 3e7) < 0.1e7);
    QCOMPARE(engine->setVolume(-100), 1);
}

void TestPlaybackEngine::playlistsAreToldApartAndWalked() {
    QTemporaryDir dir;
    QFile asx(dir.filePath(QStringLiteral("show.asx")));
    QVERIFY(asx.open(QIODevice::WriteOnly));
    asx.write(
        "<ASX version=\"3.0\"><REPEAT COUNT=\"2\"><ENTRY><REF HREF=\"a.mp4\"/>"
        "<STARTTIME VALUE=\"00:00:01\"/><DURATION VALUE=\"00:00:02\"/></ENTRY></REPEAT>"
        "<ENTRY><REF HREF=\"b.mp4\"/></ENTRY></ASX>");
    asx.close();

    QVERIFY(CPlaybackEngine::isPlaylist(asx.fileName()));
    QVERIFY(!CPlaybackEngine::isPlaylist(fixture("index.mp4")));
    const auto engine = makeEngine();
    QString url;
    double start = -1;
    double duration = -1;
    QCOMPARE(engine->nextPlaylistEntry(url, start, duration, false), 0);
    QCOMPARE(engine->openPlaylist(fixture("index.mp4")), 0);
    QCOMPARE(engine->openPlaylist(asx.fileName()), 1);
    const QString a = dir.filePath(QStringLiteral("a.mp4"));
    const QString b = dir.filePath(QStringLiteral("b.mp4"));
    for (const QString &expected : {a, a, b}) {
        QCOMPARE(engine->nextPlaylistEntry(url, start, duration, false), 1);
        QCOMPARE(url, expected);
    }
    QCOMPARE(engine->nextPlaylistEntry(url, start, duration, false), 0);
    QVERIFY(url.isEmpty());
    QCOMPARE(engine->nextPlaylistEntry(url, start, duration, false), 1);
    QCOMPARE(start, 1e7);
    QCOMPARE(duration, 2e7);
    engine->close();  // the list outlives the media
    QCOMPARE(engine->nextPlaylistEntry(url, start, duration, false), 1);
    QCOMPARE(url, a);
}

QTEST_GUILESS_MAIN(TestPlaybackEngine)

#include "test_playbackengine.moc"
