// The playback window against real libmpv (no sound output) and the fixture videos: the video
// surface, painting, full screen, mouse buttons and the blocking open. Pictures are read back
// from the widget, so what is checked is what the user would see.

#include "media/playback/logoplacement.h"
#include "media/playback/playbacktestsupport.h"
#include "media/playback/playbackwnd.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double kUnitsPerFrame = 400000;  // 25 frames per second in 100 ns units

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

}  // namespace

class TestPlaybackWnd : public QObject {
    Q_OBJECT

private slots:
    void rendererIsTheExpectedOne();
    void opensEveryContainerStopped_data();
    void opensEveryContainerStopped();
    void soundOnlyFileHasNoVideoAndNoFullScreen();
    void closingOrDeletingWhileLoadingIsSafe();
    void picturesFollowTheTransport();
    void smallStepsShowWhatASeekWould();
    void attachedEngineAndWindowOutliveEachOther();
    void effectsChangeThePicture();
    void effectsNeedTheFilter();
    void logoIsCentredOrSqueezed_data();
    void logoIsCentredOrSqueezed();
    void backgroundAndLogoArePaintedWithoutVideo();
    void mouseButtonsAreReported();
    void fullScreenLeavesAndReturnsToTheParent();
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

    // A video opened over the sound file without closing first, and the sound file again.
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QVERIFY(engine->hasVideo());
    QCOMPARE(engine->open(fixture("audio.m4a")), 1);
    QVERIFY(!engine->hasVideo());
    QVERIFY(engine->nativeVideoSize().isEmpty());
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

void TestPlaybackWnd::picturesFollowTheTransport() {
    const auto engine = makeEngine();
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QTRY_COMPARE(frameIndexShown(*engine), 0);
    // A seek while not running shows the frame there.
    QCOMPARE(engine->seek(100 * kUnitsPerFrame), 1);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kStopped));
    QCOMPARE(engine->currentPosition(), 100 * kUnitsPerFrame);
    QTRY_COMPARE(frameIndexShown(*engine), 100);
    QCOMPARE(engine->pause(), 1);
    QCOMPARE(engine->seek(250 * kUnitsPerFrame + 1000), 1);
    QCOMPARE(engine->state(), int(CPlaybackWnd::kPaused));
    QTRY_COMPARE(frameIndexShown(*engine), 250);
    // Playing moves the video along.
    QCOMPARE(engine->play(), 1);
    QTRY_VERIFY(frameIndexShown(*engine) > 255);
    QCOMPARE(engine->stop(), 1);
    // Stepped playback shows each step's frame: back from 1 s, the last step is at 0.20008 s,
    // frame 5.
    QCOMPARE(engine->seek(1e7), 1);
    QSignalSpy ended(engine.get(), &CPlaybackWnd::steppedEnd);
    engine->setRate(-2.0);
    QCOMPARE(engine->play(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 3000);
    QTRY_COMPARE(frameIndexShown(*engine), 5);
}

// Frame steps of the transport (1/30 s on 25-frame video) show the first frame at or after each
// position, as a seek there does, whether the engine steps to the next frame or seeks.
void TestPlaybackWnd::smallStepsShowWhatASeekWould() {
    const auto engine = makeEngine();
    QCOMPARE(engine->open(fixture("index.mp4")), 1);
    QCOMPARE(engine->seek(100 * kUnitsPerFrame), 1);
    QTRY_COMPARE(frameIndexShown(*engine), 100);
    double position = 100 * kUnitsPerFrame;
    for (int step = 1; step <= 8; ++step) {
        position += CPlaybackWnd::kFrameTime;
        QCOMPARE(engine->seek(position), 1);
        QCOMPARE(engine->currentPosition(), position);
        const int expected = int(std::ceil(position / kUnitsPerFrame - 1e-9));
        QTRY_COMPARE(frameIndexShown(*engine), expected);
    }
    // Steps faster than the pictures come (a held key) end on the same frame.
    for (int step = 1; step <= 12; ++step) {
        position += CPlaybackWnd::kFrameTime;
        QCOMPARE(engine->seek(position), 1);
    }
    QTRY_COMPARE(frameIndexShown(*engine), int(std::ceil(position / kUnitsPerFrame - 1e-9)));
    QCOMPARE(engine->state(), int(CPlaybackWnd::kStopped));
    QCOMPARE(engine->play(), 1);
    QTRY_VERIFY(frameIndexShown(*engine) > 125);
}

void TestPlaybackWnd::attachedEngineAndWindowOutliveEachOther() {
    // The window goes first: the engine plays on, and what it opens later has no video.
    CPlaybackEngine engine;
    engine.setAudioOutput(QStringLiteral("null"));
    {
        CPlaybackWnd window(engine, nullptr);
        window.resize(320, 240);
        window.show();
        QCOMPARE(&window.engine(), &engine);
        QSignalSpy ticks(&window, &CPlaybackWnd::tick);
        QCOMPARE(window.open(fixture("index.mp4")), 1);
        QVERIFY(engine.hasVideo());
        QTRY_COMPARE(frameIndexShown(window), 0);
        // Driven through the engine, reported through the window.
        QCOMPARE(engine.play(), 1);
        QTRY_VERIFY(ticks.count() >= 2);
    }
    const double position = engine.currentPosition();
    QTRY_VERIFY(engine.currentPosition() > position + 0.2e7);
    QCOMPARE(engine.state(), int(CPlaybackEngine::kRunning));
    QCOMPARE(openFile(engine, fixture("index.mp4")), 1);
    QVERIFY(!engine.hasVideo());

    // The engine goes first, here while the window waits for an open: the window frees its
    // surface at once and afterwards only paints.
    CSilentServer server;
    auto doomed = std::make_unique<CPlaybackEngine>();
    doomed->setAudioOutput(QStringLiteral("null"));
    CPlaybackWnd window(*doomed, nullptr);
    window.resize(320, 240);
    window.setBackgroundColour(Qt::red);
    window.show();
    QCOMPARE(window.open(fixture("index.mp4")), 1);
    QTRY_VERIFY(picture(window).pixel(0, 0) != qRgb(255, 0, 0));
    QTimer::singleShot(150, &window, [&doomed] { doomed.reset(); });
    QCOMPARE(window.open(server.address()), 0);
    QVERIFY(!doomed);
    QVERIFY(window.rendererName().isEmpty());
    window.resize(200, 100);
    QCOMPARE(picture(window).pixel(0, 0), qRgb(255, 0, 0));
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
    CEventLog<CPlaybackWnd> log(*engine);

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

int main(int argc, char **argv) {
    // The OpenGL renderer shares textures between libmpv's context and the widget's.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestPlaybackWnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_playbackwnd.moc"
