// The playback engine against real libmpv (no sound output) and the fixture videos. Pictures are
// read back from the widget, so what is checked is what the user would see.

#include "media/playback/audiolevels.h"
#include "media/playback/logoplacement.h"
#include "media/playback/playbackwnd.h"
#include "platform/cp949.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QList>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double kUnitsPerFrame = 400000;  // 25 frames per second in 100 ns units

QString fixture(const char *name) {
    return qEnvironmentVariable("KIVO_FIXTURES") + u'/' + QString::fromLatin1(name);
}

std::unique_ptr<CPlaybackWnd> makeEngine() {
    auto engine = std::make_unique<CPlaybackWnd>();
    engine->setAudioOutput(QStringLiteral("null"));
    engine->resize(320, 240);
    engine->show();
    return engine;
}

QImage picture(CPlaybackWnd &engine) {
    return engine.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The index fixtures carry their frame number in the top rows: block i (20 px wide) is white
// when bit i is set.
int frameIndexShown(CPlaybackWnd &engine) {
    const QImage image = picture(engine);
    if (image.width() < 320 || image.height() < 16) {
        return -1;
    }
    int index = 0;
    for (int bit = 0; bit < 16; ++bit) {
        if (qGray(image.pixel(bit * 20 + 10, 8)) > 128) {
            index |= 1 << bit;
        }
    }
    return index;
}

// Graph events as they arrive, with the engine's position at that moment.
struct CEventLog {
    struct CEvent {
        int code;
        qint64 parameter;
        QString text;
        double position;
    };
    std::vector<CEvent> events;

    explicit CEventLog(CPlaybackWnd &engine) {
        QObject::connect(&engine, &CPlaybackWnd::graphEvent, &engine,
                         [this, &engine](int code, qint64 parameter, const QString &text) {
                             events.push_back({code, parameter, text, engine.currentPosition()});
                         });
    }
    int count(int code) const {
        return int(std::count_if(events.begin(), events.end(),
                                 [code](const CEvent &e) { return e.code == code; }));
    }
};

// A server that takes connections and never answers: a network address that hangs.
class CSilentServer {
public:
    CSilentServer() {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(&m_server);
            }
        });
    }
    QString address() const {
        return QStringLiteral("http://127.0.0.1:%1/stream.mp4").arg(m_server.serverPort());
    }

private:
    QTcpServer m_server;
};

// An HTTP server that sends the first part of a file at once and the rest only when told: a
// network stream whose data stops coming for a while.
class CTrickleServer {
public:
    CTrickleServer(const QString &file, double firstShare) {
        QFile source(file);
        if (source.open(QIODevice::ReadOnly)) {
            m_content = source.readAll();
        }
        m_firstPart = qsizetype(double(m_content.size()) * firstShare);
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(&m_server);
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { answer(socket); });
            }
        });
    }
    QString address() const {
        return QStringLiteral("http://127.0.0.1:%1/stream.mkv").arg(m_server.serverPort());
    }
    void release() {
        m_released = true;
        for (QTcpSocket *socket : m_answered) {
            socket->write(m_content.mid(m_firstPart));
        }
    }

private:
    void answer(QTcpSocket *socket) {
        QByteArray &request = m_requests[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n") || m_answered.contains(socket)) {
            return;
        }
        m_answered.push_back(socket);
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: video/x-matroska\r\nContent-Length: " +
                      QByteArray::number(m_content.size()) + "\r\nConnection: close\r\n\r\n");
        socket->write(m_released ? m_content : m_content.left(m_firstPart));
    }

    QTcpServer m_server;
    QByteArray m_content;
    qsizetype m_firstPart = 0;
    bool m_released = false;
    QList<QTcpSocket *> m_answered;
    QHash<QTcpSocket *, QByteArray> m_requests;
};

}  // namespace

class TestPlaybackWnd : public QObject {
    Q_OBJECT

private slots:
    void rendererIsTheExpectedOne();
    void opensEveryContainerStopped_data();
    void opensEveryContainerStopped();
    void soundOnlyFileHasNoVideoAndNoFullScreen();
    void volumeAndBalanceAreClampedAndApplied();
    void volumeLevelsBecomeTrueDecibels();
    void badInputFailsCleanly();
    void hangingAddressTimesOutWithoutBlocking();
    void closingOrDeletingWhileLoadingIsSafe();
    void transportFollowsTheStateRules();
    void playingTicksEvery125Milliseconds();
    void reverseRateStepsBackToTheStart();
    void refusedForwardRateStepsPastTheEnd();
    void seekWhileStoppedShowsTheFrame();
    void playingToTheEndCompletes();
    void captionFileGivesTextEventsAtItsTimes();
    void networkStallBuffersAndResumes();
    void effectsChangeThePicture();
    void effectsNeedTheFilter();
    void logoIsCentredOrSqueezed_data();
    void logoIsCentredOrSqueezed();
    void backgroundAndLogoArePaintedWithoutVideo();
    void mouseButtonsAreReported();
    void fullScreenLeavesAndReturnsToTheParent();
    void closeResetsTheFileButKeepsSettings();
    void playlistsAreToldApartAndWalked();
};

void TestPlaybackWnd::rendererIsTheExpectedOne() {
    const auto engine = makeEngine();
    const QString expected = qEnvironmentVariable("KIVO_EXPECT_RENDERER");
    if (expected.isEmpty()) {
        QVERIFY(!engine->rendererName().isEmpty());
    } else {
        QCOMPARE(engine->rendererName(), expected);
    }
}

void TestPlaybackWnd::opensEveryContainerStopped_data() {
    QTest::addColumn<QString>("file");
    for (const char *name : {"cuts.mp4", "cuts.mkv", "cuts.mpg", "cuts.wmv", "cuts.mov",
                             "cuts-mpeg4.avi", "cuts-mjpeg.avi"}) {
        QTest::newRow(name) << fixture(name);
    }
}

void TestPlaybackWnd::opensEveryContainerStopped() {
    QFETCH(QString, file);
    const auto engine = makeEngine();
    QCOMPARE(engine->open(file), 1);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kStopped));
    QCOMPARE(engine->mediaPath(), file);
    QVERIFY(engine->hasVideo());
    QCOMPARE(engine->nativeVideoSize(), QSize(320, 240));
    // 160 frames at 25 per second; containers may round to a frame either way.
    QVERIFY2(std::abs(engine->duration() - 160 * kUnitsPerFrame) <= kUnitsPerFrame,
             qPrintable(QString::number(engine->duration())));
    QCOMPARE(engine->earliest(), 0.0);
    QCOMPARE(engine->latest(), engine->duration());
    QTRY_VERIFY(qGray(picture(*engine).pixel(160, 120)) != 0 ||
                qGray(picture(*engine).pixel(40, 200)) != 0);
}

void TestPlaybackWnd::soundOnlyFileHasNoVideoAndNoFullScreen() {
    const auto engine = makeEngine();
    QCOMPARE(engine->open(fixture("audio.m4a")), 1);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kStopped));
    QVERIFY(!engine->hasVideo());
    QVERIFY(engine->nativeVideoSize().isEmpty());
    QVERIFY(std::abs(engine->duration() - 3e7) < 0.1e7);
    QCOMPARE(engine->setFullScreen(true), 0);
    QVERIFY(!engine->isFullScreen());
    QCOMPARE(engine->play(), 1);
    QCOMPARE(engine->stop(), 1);
}

void TestPlaybackWnd::volumeAndBalanceAreClampedAndApplied() {
    const auto engine = makeEngine();
    QCOMPARE(engine->setVolume(-3000), 0);  // no file
    QCOMPARE(engine->open(fixture("audio.m4a")), 1);
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
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QCOMPARE(engine->setVolume(-100), 0);
    QCOMPARE(engine->setBalance(100), 0);
}

void TestPlaybackWnd::volumeLevelsBecomeTrueDecibels() {
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

void TestPlaybackWnd::badInputFailsCleanly() {
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
        QCOMPARE(engine->open(input), 0);
        QCOMPARE(engine->state(), int(CPlaybackWnd::kClosed));
        QVERIFY(engine->secondPath().isEmpty());
        QCOMPARE(engine->duration(), 0.0);
        QCOMPARE(engine->currentPosition(), -1.0);
        QCOMPARE(engine->play(), 0);
    }
    // Still usable afterwards.
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
}

void TestPlaybackWnd::hangingAddressTimesOutWithoutBlocking() {
    CSilentServer server;
    const auto engine = makeEngine();
    engine->setOpenTimeout(800);
    int timerRuns = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&timerRuns] { ++timerRuns; });
    other.start(50);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(engine->open(server.address()), 0);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(engine->state(), int(CPlaybackWnd::kClosed));
    // The GUI thread kept running its timers while the open waited.
    QVERIFY2(timerRuns >= 5, qPrintable(QString::number(timerRuns)));
}

void TestPlaybackWnd::closingOrDeletingWhileLoadingIsSafe() {
    CSilentServer server;
    auto engine = makeEngine();
    QTimer::singleShot(150, engine.get(), [&engine] { engine->close(); });
    QCOMPARE(engine->open(server.address()), 0);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kClosed));
    QCOMPARE(engine->open(fixture("index.mp4")), 1);

    // Opening again while an open waits: the first gives up, the second wins.
    int inner = -1;
    QTimer::singleShot(150, engine.get(),
                       [&engine, &inner] { inner = engine->open(fixture("cuts.mp4")); });
    QCOMPARE(engine->open(server.address()), 0);
    QCOMPARE(inner, 1);
    QCOMPARE(engine->mediaPath(), fixture("cuts.mp4"));
    QCOMPARE(engine->state(), int(CPlaybackWnd::kStopped));

    CPlaybackWnd *raw = engine.get();
    QTimer::singleShot(150, [&engine] { engine.reset(); });
    QCOMPARE(raw->open(server.address()), 0);
    QVERIFY(!engine);
}

void TestPlaybackWnd::transportFollowsTheStateRules() {
    const auto engine = makeEngine();
    QCOMPARE(engine->state(), int(CPlaybackWnd::kClosed));
    QCOMPARE(engine->play(), 0);
    QCOMPARE(engine->pause(), 0);
    QCOMPARE(engine->stop(), 0);
    QCOMPARE(engine->seek(0), 0);
    QCOMPARE(engine->currentPosition(), -1.0);

    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QCOMPARE(engine->stop(), 0);  // stop while stopped
    QCOMPARE(engine->state(), int(CPlaybackWnd::kStopped));
    QCOMPARE(engine->pause(), 1);  // pause while stopped: 3 -> 2
    QCOMPARE(engine->state(), int(CPlaybackWnd::kPaused));
    QCOMPARE(engine->pause(), 0);
    QCOMPARE(engine->stop(), 1);  // 2 -> 3
    QCOMPARE(engine->play(), 1);  // 3 -> 1
    QCOMPARE(engine->state(), int(CPlaybackWnd::kRunning));
    QCOMPARE(engine->play(), 0);
    QCOMPARE(engine->pause(), 1);  // 1 -> 2
    QCOMPARE(engine->play(), 1);   // 2 -> 1
    QCOMPARE(engine->stop(), 1);   // 1 -> 3
    QCOMPARE(engine->seek(-1), 0);
    QCOMPARE(engine->seek(std::nan("")), 0);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kStopped));

    // No ticks outside the running state.
    QSignalSpy ticks(engine.get(), &CPlaybackWnd::tick);
    QTest::qWait(300);
    QCOMPARE(ticks.count(), 0);
    engine->close();
    QCOMPARE(engine->state(), int(CPlaybackWnd::kClosed));
    QCOMPARE(engine->play(), 0);
}

void TestPlaybackWnd::playingTicksEvery125Milliseconds() {
    const auto engine = makeEngine();
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    std::vector<qint64> arrivals;
    std::vector<double> positions;
    QElapsedTimer clock;
    QObject::connect(engine.get(), &CPlaybackWnd::tick, engine.get(), [&] {
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
    // The video moves along: a later frame than the first is shown.
    QTRY_VERIFY(frameIndexShown(*engine) > 10);
}

void TestPlaybackWnd::reverseRateStepsBackToTheStart() {
    const auto engine = makeEngine();
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QCOMPARE(engine->seek(1e7), 1);
    std::vector<double> positions;
    QObject::connect(engine.get(), &CPlaybackWnd::tick, engine.get(),
                     [&] { positions.push_back(engine->currentPosition()); });
    QSignalSpy ended(engine.get(), &CPlaybackWnd::steppedEnd);
    engine->setRate(-2.0);
    QCOMPARE(engine->play(), 1);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kRunning));
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 3000);
    // 1 s, then back 2,666,400 units per tick until the next step would pass the start.
    const std::vector<double> expected = {1e7 - 2666400, 1e7 - 2 * 2666400, 1e7 - 3 * 2666400};
    QCOMPARE(positions, expected);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kStopped));
    // The last step's frame is shown: 0.20008 s is frame 5.
    QTRY_COMPARE(frameIndexShown(*engine), 5);
    QTest::qWait(300);
    QCOMPARE(positions.size(), size_t(3));  // the timer is gone
}

void TestPlaybackWnd::refusedForwardRateStepsPastTheEnd() {
    const auto engine = makeEngine();
    QCOMPARE(engine->open(fixture("cuts.mp4")), 1);
    QSignalSpy ended(engine.get(), &CPlaybackWnd::steppedEnd);
    QSignalSpy ticks(engine.get(), &CPlaybackWnd::tick);
    engine->setRate(1000.0);  // beyond libmpv's fastest: stepped, 133 s per tick
    QCOMPARE(engine->play(), 1);
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(ticks.count(), 0);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kStopped));

    engine->setRate(2.0);  // a rate libmpv plays itself
    QCOMPARE(engine->play(), 1);
    QTRY_VERIFY(ticks.count() >= 2);
    QCOMPARE(ended.count(), 1);
}

void TestPlaybackWnd::seekWhileStoppedShowsTheFrame() {
    const auto engine = makeEngine();
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QTRY_COMPARE(frameIndexShown(*engine), 0);
    QCOMPARE(engine->seek(100 * kUnitsPerFrame), 1);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kStopped));
    QCOMPARE(engine->currentPosition(), 100 * kUnitsPerFrame);
    QTRY_COMPARE(frameIndexShown(*engine), 100);
    QCOMPARE(engine->pause(), 1);
    QCOMPARE(engine->seek(250 * kUnitsPerFrame + 1000), 1);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kPaused));
    QTRY_COMPARE(frameIndexShown(*engine), 250);
}

void TestPlaybackWnd::playingToTheEndCompletes() {
    const auto engine = makeEngine();
    CEventLog log(*engine);
    QCOMPARE(engine->open(fixture("cuts.mp4")), 1);
    QCOMPARE(engine->seek(engine->duration() - 0.3e7), 1);
    QCOMPARE(engine->play(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(CPlaybackWnd::kEventComplete), 1, 3000);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kRunning));  // the parent decides to stop
    QCOMPARE(engine->stop(), 1);
    // Running again at the end completes again at once.
    QCOMPARE(engine->play(), 1);
    QTRY_COMPARE(log.count(CPlaybackWnd::kEventComplete), 2);
    QCOMPARE(engine->stop(), 1);
    QCOMPARE(log.count(CPlaybackWnd::kEventErrorAbort), 0);
}

void TestPlaybackWnd::captionFileGivesTextEventsAtItsTimes() {
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
    CEventLog log(*engine);
    engine->setSecondPath(file.fileName());
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QCOMPARE(engine->play(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(log.count(CPlaybackWnd::kEventText) >= 3, 4000);
    QCOMPARE(engine->stop(), 1);

    std::vector<CEventLog::CEvent> captions;
    for (const auto &event : log.events) {
        if (event.code == CPlaybackWnd::kEventText) {
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

void TestPlaybackWnd::networkStallBuffersAndResumes() {
    CTrickleServer server(fixture("cuts.mkv"), 0.3);
    const auto engine = makeEngine();
    CEventLog log(*engine);
    engine->setBufferingTime(0.5);
    QCOMPARE(engine->open(server.address()), 1);
    QVERIFY(engine->hasVideo());
    QCOMPARE(engine->play(), 1);
    // The data stops about two seconds into the media (Matroska needs no more than its header
    // to open): playback waits for the cache.
    QTRY_VERIFY_WITH_TIMEOUT(log.count(CPlaybackWnd::kEventBufferingData) == 1, 8000);
    QCOMPARE(log.events.back().parameter, 1);
    const int progress = engine->bufferingProgress();
    QVERIFY2(progress >= 0 && progress <= 100, qPrintable(QString::number(progress)));
    const double stalledAt = engine->currentPosition();
    QVERIFY2(stalledAt > 0.5e7 && stalledAt < 4e7, qPrintable(QString::number(stalledAt)));

    server.release();
    QTRY_VERIFY_WITH_TIMEOUT(log.count(CPlaybackWnd::kEventBufferingData) == 2, 8000);
    QCOMPARE(log.events.back().parameter, 0);
    QTRY_VERIFY(engine->currentPosition() > stalledAt + 0.2e7);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kRunning));

    // A local file is no network stream.
    QCOMPARE(engine->open(fixture("cuts.mkv")), 1);
    QCOMPARE(engine->bufferingProgress(), -1);
}

namespace {

// Every pixel of the picture, as (r, g, b) triples, compared against a rule.
template <typename Rule>
bool everyPixel(const QImage &image, Rule rule) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!rule(image.pixel(x, y), x, y)) {
                return false;
            }
        }
    }
    return true;
}

// The share of pixels that keep a rule. The filter graph and the renderer convert colours with
// different chroma interpolation, so along colour edges and in noise (about a twentieth of the
// test picture) the two disagree; comparisons with the unfiltered picture hold for most pixels.
template <typename Rule>
double shareOfPixels(const QImage &image, Rule rule) {
    qint64 kept = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            kept += rule(image.pixel(x, y), x, y) ? 1 : 0;
        }
    }
    return double(kept) / double(qint64(image.width()) * image.height());
}

double meanGrey(const QImage &image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            sum += qGray(image.pixel(x, y));
        }
    }
    return sum / (double(image.width()) * image.height());
}

// How much neighbouring pixels differ across the picture: falls when it is blurred.
double roughness(const QImage &image) {
    double sum = 0;
    for (int y = 16; y < image.height(); ++y) {
        for (int x = 1; x < image.width(); ++x) {
            sum += std::abs(qGray(image.pixel(x, y)) - qGray(image.pixel(x - 1, y)));
        }
    }
    return sum;
}

}  // namespace

void TestPlaybackWnd::effectsChangeThePicture() {
    const auto engine = makeEngine();
    engine->setEffectsEnabled(true);
    QCOMPARE(engine->open(fixture("cuts.mp4")), 1);
    QVERIFY(engine->hasEffectsFilter());
    QCOMPARE(engine->effectMode(), 1011);
    QTRY_VERIFY(roughness(picture(*engine)) > 0);
    const QImage original = picture(*engine);
    const auto near = [](int a, int b, int tolerance) { return std::abs(a - b) <= tolerance; };
    // Each effect is judged only once the picture of the effect before it has gone, so that
    // no check can pass on the previous effect's picture.
    const auto apply = [&engine](int mode) {
        const QImage before = picture(*engine);
        QCOMPARE(engine->setEffectMode(mode), 1);
        QTRY_VERIFY(picture(*engine) != before);
        QCOMPARE(engine->effectMode(), mode);
    };

    apply(1010);  // red only
    QTRY_VERIFY(everyPixel(picture(*engine),
                           [](QRgb p, int, int) { return qGreen(p) == 0 && qBlue(p) == 0; }));
    apply(1009);  // green only
    QTRY_VERIFY(everyPixel(picture(*engine),
                           [](QRgb p, int, int) { return qRed(p) == 0 && qBlue(p) == 0; }));
    apply(1008);  // blue only
    QTRY_VERIFY(everyPixel(picture(*engine),
                           [](QRgb p, int, int) { return qRed(p) == 0 && qGreen(p) == 0; }));
    apply(1003);  // greyscale
    QTRY_VERIFY(everyPixel(picture(*engine), [](QRgb p, int, int) {
        return qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
    }));
    apply(1005);  // posterise: eight levels per channel
    QTRY_VERIFY(everyPixel(picture(*engine), [](QRgb p, int, int) {
        return (qRed(p) & 0x1f) == 0 && (qGreen(p) & 0x1f) == 0 && (qBlue(p) & 0x1f) == 0;
    }));
    apply(1006);  // XOR: the negative
    const auto negative = [&](QRgb p, int x, int y) {
        const QRgb o = original.pixel(x, y);
        return near(qRed(p), 255 - qRed(o), 5) && near(qGreen(p), 255 - qGreen(o), 5) &&
               near(qBlue(p), 255 - qBlue(o), 5);
    };
    QTRY_VERIFY2(shareOfPixels(picture(*engine), negative) > 0.9,
                 qPrintable(QString::number(shareOfPixels(picture(*engine), negative))));
    apply(1007);  // darken: half the brightness
    const auto halved = [&](QRgb p, int x, int y) {
        const QRgb o = original.pixel(x, y);
        return near(qRed(p), qRed(o) / 2, 3) && near(qGreen(p), qGreen(o) / 2, 3) &&
               near(qBlue(p), qBlue(o) / 2, 3);
    };
    QTRY_VERIFY2(shareOfPixels(picture(*engine), halved) > 0.9,
                 qPrintable(QString::number(shareOfPixels(picture(*engine), halved))));
    apply(1004);  // blur: smoother, as bright as before
    QTRY_VERIFY2(
        roughness(picture(*engine)) < 0.85 * roughness(original),
        qPrintable(
            QStringLiteral("%1 of %2").arg(roughness(picture(*engine))).arg(roughness(original))));
    QVERIFY(std::abs(meanGrey(picture(*engine)) - meanGrey(original)) < 3);
    apply(1002);  // emboss: grey relief around mid grey
    QTRY_VERIFY(everyPixel(picture(*engine), [](QRgb p, int, int) {
        return qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
    }));
    QVERIFY(std::abs(meanGrey(picture(*engine)) - 128) < 10);

    QCOMPARE(engine->setEffectMode(999), 0);
    QCOMPARE(engine->effectMode(), 1002);
    apply(1011);  // unaltered again
    QTRY_VERIFY(everyPixel(picture(*engine),
                           [&](QRgb p, int x, int y) { return p == original.pixel(x, y); }));
}

void TestPlaybackWnd::effectsNeedTheFilter() {
    const auto engine = makeEngine();
    QCOMPARE(engine->setEffectMode(1006), 0);  // nothing open
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QVERIFY(!engine->hasEffectsFilter());
    QCOMPARE(engine->setEffectMode(1006), 0);  // opened without effects

    engine->setEffectsEnabled(true);  // applies from the next open
    QCOMPARE(engine->setEffectMode(1006), 0);
    QCOMPARE(engine->open(fixture("audio.m4a")), 1);
    QVERIFY(!engine->hasEffectsFilter());  // no video to filter
    QCOMPARE(engine->setEffectMode(1006), 0);
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QCOMPARE(engine->setEffectMode(1006), 1);
    engine->close();
    QVERIFY(engine->effectsEnabled());
    QCOMPARE(engine->setEffectMode(1006), 0);
}

void TestPlaybackWnd::logoIsCentredOrSqueezed_data() {
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QSize>("logo");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("centred") << QSize(320, 240) << QSize(100, 50) << QRect(110, 95, 100, 50);
    QTest::newRow("odd space rounds down")
        << QSize(321, 241) << QSize(100, 50) << QRect(110, 95, 100, 50);
    QTest::newRow("just fits") << QSize(320, 240) << QSize(310, 230) << QRect(5, 5, 310, 230);
    QTest::newRow("too wide") << QSize(320, 240) << QSize(311, 50) << QRect(5, 95, 310, 50);
    QTest::newRow("too tall") << QSize(320, 240) << QSize(100, 400) << QRect(110, 5, 100, 230);
    QTest::newRow("both") << QSize(100, 80) << QSize(640, 480) << QRect(5, 5, 90, 70);
    QTest::newRow("no room") << QSize(10, 240) << QSize(100, 50) << QRect();
    QTest::newRow("no logo") << QSize(320, 240) << QSize() << QRect();
}

void TestPlaybackWnd::logoIsCentredOrSqueezed() {
    QFETCH(QSize, client);
    QFETCH(QSize, logo);
    QFETCH(QRect, expected);
    QCOMPARE(logoRect(client, logo), expected);
}

void TestPlaybackWnd::backgroundAndLogoArePaintedWithoutVideo() {
    const auto engine = makeEngine();
    QImage logo(100, 50, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    engine->setBackgroundColour(Qt::red);
    engine->setLogoBitmap(logo);
    QImage shown = picture(*engine);
    QCOMPARE(shown.pixel(110, 95), qRgb(0, 0, 255));
    QCOMPARE(shown.pixel(209, 144), qRgb(0, 0, 255));
    QCOMPARE(shown.pixel(109, 95), qRgb(255, 0, 0));
    QCOMPARE(shown.pixel(0, 0), qRgb(255, 0, 0));

    // Sound only: still the logo. Video: the picture covers it.
    QCOMPARE(engine->open(fixture("audio.m4a")), 1);
    QCOMPARE(picture(*engine).pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QTRY_VERIFY(picture(*engine).pixel(0, 0) != qRgb(255, 0, 0));
    engine->showVideo(false);
    QCOMPARE(picture(*engine).pixel(0, 0), qRgb(255, 0, 0));
    engine->showVideo(true);
    QVERIFY(picture(*engine).pixel(0, 0) != qRgb(255, 0, 0));
    engine->close();
    QCOMPARE(picture(*engine).pixel(160, 120), qRgb(0, 0, 255));
}

void TestPlaybackWnd::mouseButtonsAreReported() {
    const auto engine = makeEngine();
    QSignalSpy left(engine.get(), &CPlaybackWnd::leftButton);
    QSignalSpy right(engine.get(), &CPlaybackWnd::rightButton);
    QTest::mouseClick(engine.get(), Qt::LeftButton);
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    // Over the video the click still belongs to the engine.
    QTest::mouseClick(engine->childAt(160, 120) ? engine->childAt(160, 120) : engine.get(),
                      Qt::RightButton, {}, QPoint(160, 120));
    QTRY_COMPARE(left.count(), 1);
    QTRY_COMPARE(right.count(), 1);
}

void TestPlaybackWnd::fullScreenLeavesAndReturnsToTheParent() {
    QWidget videoWindow;
    videoWindow.resize(400, 300);
    auto *engine = new CPlaybackWnd(&videoWindow);
    engine->setAudioOutput(QStringLiteral("null"));
    engine->setGeometry(10, 20, 320, 240);
    videoWindow.show();
    CEventLog log(*engine);

    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QCOMPARE(engine->setFullScreen(true), 1);
    QVERIFY(engine->isFullScreen());
    QVERIFY(engine->isWindow());
    QCOMPARE(engine->setFullScreen(true), 1);
    QCOMPARE(engine->setFullScreen(false), 1);
    QVERIFY(!engine->isFullScreen());
    QVERIFY(!engine->isWindow());
    QCOMPARE(engine->parentWidget(), &videoWindow);
    QCOMPARE(engine->geometry(), QRect(10, 20, 320, 240));

    // The window manager closing the full-screen video is the user ending it.
    QCOMPARE(engine->setFullScreen(true), 1);
    QVERIFY(!engine->QWidget::close());
    QTRY_COMPARE(log.count(CPlaybackWnd::kEventUserAbort), 1);
    QVERIFY(!engine->isWindow());
    QVERIFY(!engine->isFullScreen());

    // Closing the media leaves full screen too.
    QCOMPARE(engine->setFullScreen(true), 1);
    engine->close();
    QVERIFY(!engine->isWindow());
    QCOMPARE(engine->setFullScreen(true), 0);
}

void TestPlaybackWnd::closeResetsTheFileButKeepsSettings() {
    const auto engine = makeEngine();
    engine->setEffectsEnabled(true);
    engine->setBufferingTime(4.5);
    engine->setBackgroundColour(Qt::green);
    engine->setRate(-2.0);
    engine->setSecondPath(QStringLiteral("/nowhere/captions.smi"));
    QCOMPARE(engine->open(fixture("audio.m4a")), 1);
    QCOMPARE(engine->secondPath(), QStringLiteral("/nowhere/captions.smi"));
    QCOMPARE(engine->setVolume(-2000), 1);
    QCOMPARE(engine->setBalance(500), 1);
    QCOMPARE(engine->play(), 1);  // stepped, timer running

    engine->close();
    QCOMPARE(engine->state(), int(CPlaybackWnd::kClosed));
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
    QCOMPARE(engine->backgroundColour(), QColor(Qt::green));
    QCOMPARE(engine->bufferingProgress(), -1);
    QSignalSpy ticks(engine.get(), &CPlaybackWnd::tick);
    QSignalSpy ended(engine.get(), &CPlaybackWnd::steppedEnd);
    QTest::qWait(300);
    QCOMPARE(ticks.count() + ended.count(), 0);

    // A video opened after a sound file, over it, without closing first.
    QCOMPARE(engine->open(fixture("audio.m4a")), 1);
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QVERIFY(engine->hasVideo());
    QCOMPARE(engine->open(fixture("audio.m4a")), 1);
    QVERIFY(!engine->hasVideo());
    QVERIFY(engine->nativeVideoSize().isEmpty());
}

void TestPlaybackWnd::playlistsAreToldApartAndWalked() {
    QTemporaryDir dir;
    QFile asx(dir.filePath(QStringLiteral("show.asx")));
    QVERIFY(asx.open(QIODevice::WriteOnly));
    asx.write(
        "<ASX version=\"3.0\"><REPEAT COUNT=\"2\"><ENTRY><REF HREF=\"a.mp4\"/>"
        "<STARTTIME VALUE=\"00:00:01\"/><DURATION VALUE=\"00:00:02\"/></ENTRY></REPEAT>"
        "<ENTRY><REF HREF=\"b.mp4\"/></ENTRY></ASX>");
    asx.close();

    QVERIFY(CPlaybackWnd::isPlaylist(asx.fileName()));
    QVERIFY(!CPlaybackWnd::isPlaylist(fixture("index.mp4")));
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

int main(int argc, char **argv) {
    // The OpenGL renderer shares textures between libmpv's context and the widget's.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestPlaybackWnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_playbackwnd.moc"
