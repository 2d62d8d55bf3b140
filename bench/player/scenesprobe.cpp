// Drives the player's scene pages the way a user does, for scenes_vs_ffmpeg.sh:
//
//   kivo_scenes_probe basictree FILE   open FILE, build the default basic tree (30 scenes) and
//                                      print the ms from the start to the last thumbnail drawn
//   kivo_scenes_probe click FILE N     open FILE, build the basic tree, then click N scenes in
//                                      turn and print each click-to-picture time in ms
//   kivo_scenes_probe shot FILE OUT    open FILE, build the basic tree, play two seconds with
//                                      the strip page beside, and save the screen as OUT (PNG)
//
// The scene container and the video window are shown; the settings are a scratch file.
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "media/playback/playbackengine.h"
#include "media/playback/playbackwnd.h"
#include "player/scenes/window/scenelistpanel.h"
#include "player/scenes/window/scenetreepanel.h"
#include "player/scenes/window/treejobs.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/videownd.h"
#include "probeplayer.h"
#include "scene/videodescription.h"
#include "scenecontrols/sceneimagelist.h"
#include "scenecontrols/sceneimagetree.h"

namespace {

double buildTree(CPlayerDlg &panel) {
    CSceneImageTree &tree = panel.sceneTreePanel()->tree();
    QElapsedTimer clock;
    clock.start();
    kivo::scenes::buildBasicTree(panel.session(), tree, kivo::scenes::BasicTreeRequest{},
                                 [](int) {});
    // Drawn: the control paints from its cache, which the construction filled.
    tree.repaint();
    return double(clock.nsecsElapsed()) / 1e6;
}

int clickScenes(CPlayerDlg &panel, int times) {
    CSceneImageTree &tree = panel.sceneTreePanel()->tree();
    CPlaybackWnd &video = panel.videoWindow().engineWindow();
    const CSceneNode &start = *tree.root()->child(0);
    for (int i = 0; i < times; ++i) {
        // Scenes under the start scene in a scattered order, each brought into view first.
        const int index = (i * 7 + 3) % start.childCount();
        CSceneNode *target = start.child(index);
        tree.scrollToRow(index);
        QPoint cell(-1, -1);
        for (int y = 0; y < tree.height() && cell.y() < 0; y += 4) {
            for (int x = 0; x < tree.width() && cell.y() < 0; x += 4) {
                const CTreeHit hit = tree.hitTest(QPoint(x, y));
                if (hit.node == target && hit.part == CTreeHit::kCell) {
                    cell = QPoint(x + 8, y + 6);
                }
            }
        }
        const quint64 before = video.picturesDrawn();
        QElapsedTimer clock;
        clock.start();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, cell, tree.mapToGlobal(cell), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(&tree, &event);
        }
        waitFor([&] { return video.picturesDrawn() != before; });
        std::printf("%.2f\n", double(clock.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    }
    return 0;
}

int screenshot(CPlayerDlg &panel, const QString &out) {
    // The tree on the left of the video, the strip on its right, the panel below.
    panel.videoWindow().setGeometry(320, 40, 960, 540);
    panel.sceneContainer()->setGeometry(20, 40, 300, 700);
    panel.move(560, 620);
    panel.sceneTreePanel()->tree().root()->child(0)->setExpanded(1);
    panel.sceneTreePanel()->tree().relayout();
    panel.play();
    waitFor([] { return false; }, 2000);
    CSceneListPanel strip(panel.session(), 1.5f, &panel.sceneTreePanel()->tree());
    strip.setWindowFlag(Qt::Tool);
    strip.setGeometry(1290, 40, 120, 700);
    strip.show();
    strip.list().attach(panel.session().description(), &panel.session().grabber());
    strip.list().scrollTo(1000);
    waitFor([] { return false; }, 1000);
    return QGuiApplication::primaryScreen()->grabWindow(0).save(out) ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3 || (args[1] != u"basictree" && args[1] != u"click" && args[1] != u"shot")) {
        std::fprintf(stderr, "usage: %s basictree FILE | click FILE N | shot FILE OUT\n", argv[0]);
        return 2;
    }
    CProbePlayer player;
    CPlayerDlg &panel = player.panel();
    if (!player.open(args[2], false)) {
        return 1;
    }
    panel.videoWindow().resize(960, 540);
    CSceneContainerWnd &scenes = *panel.sceneContainer();
    scenes.resize(300, 700);
    scenes.show();
    waitFor([&] {
        return panel.videoWindow().engineWindow().picturesDrawn() > 0 && scenes.isVisible();
    });
    const double built = buildTree(panel);
    if (args[1] == u"basictree") {
        std::printf("%.2f\n", built);
        return 0;
    }
    if (args[1] == u"shot") {
        return screenshot(panel, args.value(3));
    }
    return clickScenes(panel, args.size() > 3 ? args[3].toInt() : 20);
}
