// Drives the player's video window the way a user does, for videownd_bench.sh:
//
//   kivo_videownd_probe resize FILE TIMES  play FILE and switch the size rate between 50% and
//                                          100% TIMES times; print each command-to-picture
//                                          time in ms (until a picture is drawn at the new size)
//   kivo_videownd_probe export FILE TIMES  pause FILE and save the frame under the position at
//                                          its native size TIMES times as a BMP; print each
//                                          save's time in ms
//
// The settings and the saved pictures go to a scratch folder.
#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

#include "media/playback/playbackengine.h"
#include "media/playback/playbackwnd.h"
#include "player/transport/videocommands.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/videownd.h"
#include "probeplayer.h"
#include "uisupport/asker.h"

namespace {

int resize(CPlayerDlg &panel, int times) {
    CVideoWnd &video = panel.videoWindow();
    CPlaybackWnd &engine = video.engineWindow();
    for (int i = 0; i < times; ++i) {
        const int command = i % 2 == 0 ? kivo::player::kViewRate50 : kivo::player::kViewRate100;
        const QSize wanted = panel.session().engine().nativeVideoSize() * (i % 2 == 0 ? 0.5 : 1.0);
        QElapsedTimer clock;
        clock.start();
        video.runCommand(command);
        const quint64 before = engine.picturesDrawn();
        waitFor([&] { return engine.size() == wanted && engine.picturesDrawn() > before; }, 10000);
        std::printf("%.2f\n", double(clock.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    }
    return 0;
}

int exportFrames(CPlayerDlg &panel, int times, const QString &folder) {
    kivo::ui::CScriptedAsker asker;
    kivo::ui::CScopedAsker scoped(asker);
    panel.pause();
    for (int i = 0; i < times; ++i) {
        asker.answerFile(folder + QStringLiteral("/frame%1.bmp").arg(i));
        QElapsedTimer clock;
        clock.start();
        if (panel.videoWindow().runCommand(kivo::player::kViewSaveNativeSize) != 1) {
            std::fprintf(stderr, "the frame was not saved\n");
            return 1;
        }
        std::printf("%.2f\n", double(clock.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4 || (args[1] != u"resize" && args[1] != u"export")) {
        std::fprintf(stderr, "usage: %s resize|export FILE TIMES\n", argv[0]);
        return 2;
    }
    CProbePlayer player;
    CPlayerDlg &panel = player.panel();
    if (!player.open(args[2], true)) {
        return 1;
    }
    CPlaybackWnd &engine = panel.videoWindow().engineWindow();
    waitFor([&engine] { return engine.picturesDrawn() > 0; }, 10000);
    const int times = args[3].toInt();
    return args[1] == u"resize" ? resize(panel, times)
                                : exportFrames(panel, times, player.scratchPath({}));
}
