// Times opening a file in the player to its first picture, for open_scv.sh:
//
//   kivo_open_probe VIDEO SCENES RUNS   writes a scene description of VIDEO with SCENES scenes
//                                       (under one first-level scene, evenly spread), then opens
//                                       the video and the description in turn RUNS times each and
//                                       prints "media MS" and "scv MS" lines, one per open
//
// An open counts from the call to the video window's first picture drawn after it; the scene
// container is shown with its tree page, as a user who navigates by scenes has it.
#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

#include "media/playback/playbackengine.h"
#include "media/playback/playbackwnd.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/videownd.h"
#include "probeplayer.h"
#include "scene/scvfile.h"
#include "scene/videodescription.h"

namespace {

bool writeDescription(const QString &video, int scenes, double frames, const QString &out) {
    CVideoDescription description;
    description.setMediaPath(video.toStdString());
    CSceneNode *first = description.root().addChild(0.0);
    for (int i = 0; i < scenes; ++i) {
        first->addChild(double(int64_t(frames * i / scenes)));
    }
    return saveScv(description, out.toStdString()) == 1;
}

double openToFirstPicture(CPlayerDlg &panel, const QString &path) {
    CPlaybackWnd &video = panel.videoWindow().engineWindow();
    panel.closeFile();
    const quint64 before = video.picturesDrawn();
    QElapsedTimer clock;
    clock.start();
    if (panel.openFile(path, false) != 1 ||
        !waitFor([&] { return video.picturesDrawn() != before; })) {
        return -1;
    }
    return double(clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: %s VIDEO SCENES RUNS\n", argv[0]);
        return 2;
    }
    CProbePlayer player;
    CPlayerDlg &panel = player.panel();
    if (!player.open(args[1], false)) {
        return 1;
    }
    const double frames = panel.session().frameAt(panel.session().engine().duration());
    const QString scv = player.scratchPath(QStringLiteral("scenes.scv"));
    if (frames <= 0 || !writeDescription(args[1], args[2].toInt(), frames, scv)) {
        std::fprintf(stderr, "cannot write the scene description\n");
        return 1;
    }
    panel.videoWindow().resize(960, 540);
    panel.sceneContainer()->resize(300, 700);
    panel.sceneContainer()->show();
    for (int run = 0; run < args[3].toInt(); ++run) {
        for (const auto &[label, path] : {std::pair{"media", args[1]}, std::pair{"scv", scv}}) {
            const double ms = openToFirstPicture(panel, path);
            if (ms < 0) {
                std::fprintf(stderr, "no picture from %s\n", qPrintable(path));
                return 1;
            }
            std::printf("%s %.2f\n", label, ms);
            std::fflush(stdout);
        }
    }
    return 0;
}
