// Drives the player's control panel the way a user does, for panel_vs_mpv.sh:
//
//   kivo_panel_probe step FILE TIMES   open FILE, then press Ctrl+Right TIMES times and print
//                                      each key-press-to-new-picture time in ms (a step that
//                                      stays on the frame on screen: until the key is handled)
//   kivo_panel_probe play FILE SECONDS open FILE, play it for SECONDS, quit
//
// The video is drawn 960x540 (size rate 0.5 of 1080p); the settings are a scratch file.
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

#include <cmath>
#include <cstdio>

#include "media/playback/playbackengine.h"
#include "media/playback/playbackwnd.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/videownd.h"
#include "probeplayer.h"

namespace {

int step(CPlayerDlg &panel, int times) {
    CPlaybackWnd &video = panel.videoWindow().engineWindow();
    CPlaybackEngine &engine = panel.session().engine();
    // The frame a position shows: the first one at or after it.
    const double frameTime = panel.session().positionOfFrame(1);
    const auto frameShownAt = [frameTime](double position) {
        return std::ceil(position / frameTime - 1e-9);
    };
    for (int i = 0; i < times; ++i) {
        const quint64 before = video.picturesDrawn();
        const double frameBefore = frameShownAt(engine.currentPosition());
        QElapsedTimer clock;
        clock.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier);
        QApplication::sendEvent(&panel, &press);
        // A step that stays on the frame on screen is done when the key is handled.
        const bool newFrame = frameShownAt(engine.currentPosition()) != frameBefore;
        while (newFrame && video.picturesDrawn() == before && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        std::printf("%.2f\n", double(clock.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    }
    return 0;
}

int play(double seconds) {
    QTimer::singleShot(int(seconds * 1000), qApp, &QCoreApplication::quit);
    return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4 || (args[1] != u"step" && args[1] != u"play")) {
        std::fprintf(stderr, "usage: %s step FILE TIMES | play FILE SECONDS\n", argv[0]);
        return 2;
    }
    CProbePlayer player;
    CPlayerDlg &panel = player.panel();
    // At half size the 1080p picture is drawn 960x540, as the engine alone draws it.
    panel.transport().setSizeRate(0.5);
    const bool playing = args[1] == u"play";
    if (!player.open(args[2], playing)) {
        return 1;
    }
    // The first picture of the file is on screen before the first key.
    waitFor([&panel] { return panel.videoWindow().engineWindow().picturesDrawn() > 0; }, 10000);
    return playing ? play(args[3].toDouble()) : step(panel, args[3].toInt());
}
