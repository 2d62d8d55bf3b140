// Drives the playback engine the way the player does, for the side-by-side measurements in
// playback_vs_mpv.sh:
//
//   kivo_playback_probe first-frame FILE [TIMES]  open FILE TIMES times in one engine and print
//                                                 each open-to-first-picture time in ms
//   kivo_playback_probe play FILE SECONDS         open FILE, play it for SECONDS, quit
//
// The engine's window is 960x540. KIVO_VIDEO_RENDERER=software picks the software renderer.

#include "media/playback/playbackwnd.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

int firstFrame(CPlaybackWnd &engine, const QString &file, int times) {
    for (int i = 0; i < times; ++i) {
        engine.close();
        QCoreApplication::processEvents();
        const quint64 before = engine.picturesDrawn();
        QElapsedTimer clock;
        clock.start();
        if (engine.open(file) != 1) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
            return 1;
        }
        while (engine.picturesDrawn() == before && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        std::printf("%.1f\n", double(clock.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    }
    return 0;
}

int play(CPlaybackWnd &engine, const QString &file, double seconds) {
    if (engine.open(file) != 1 || engine.play() != 1) {
        std::fprintf(stderr, "cannot play %s\n", qPrintable(file));
        return 1;
    }
    QTimer::singleShot(int(seconds * 1000), qApp, &QCoreApplication::quit);
    QObject::connect(&engine, &CPlaybackWnd::graphEvent, qApp, [](int code) {
        if (code == CPlaybackWnd::kEventComplete) {
            QCoreApplication::quit();
        }
    });
    const int status = QCoreApplication::exec();
    std::printf("%s renderer, %llu pictures drawn\n", qPrintable(engine.rendererName()),
                static_cast<unsigned long long>(engine.picturesDrawn()));
    return status;
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: %s first-frame FILE [TIMES] | play FILE SECONDS\n", argv[0]);
        return 2;
    }
    CPlaybackWnd engine;
    engine.setAudioOutput(QStringLiteral("null"));
    engine.resize(960, 540);
    engine.show();
    const QString file = args[2];
    if (args[1] == u"first-frame") {
        return firstFrame(engine, file, args.size() > 3 ? args[3].toInt() : 1);
    }
    if (args[1] == u"play") {
        return play(engine, file, args.size() > 3 ? args[3].toDouble() : 10.0);
    }
    std::fprintf(stderr, "unknown mode %s\n", argv[1]);
    return 2;
}
