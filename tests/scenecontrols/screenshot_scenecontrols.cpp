// Shows both scene controls on a real video the way the two programs set them up and writes a
// picture of them: screenshot_scenecontrols VIDEO OUT.png (run under Xvfb).
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include "media/grabber/videomanager.h"
#include "scenecontrols/sceneimagelist.h"
#include "scenecontrols/sceneimagetree.h"
#include "uisupport/skin.h"

namespace {

QWidget *captioned(const QString &caption, QWidget *content) {
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *label = new QLabel(caption);
    label->setStyleSheet("color: #c9d0d8;");
    layout->addWidget(label);
    layout->addWidget(content, 1);
    return box;
}

}  // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        return 2;
    }
    CVideoManager video;
    if (!video.open(argv[1])) {
        return 1;
    }
    CVideoDescription player;
    CSceneNode &root = player.root();
    root.setExpanded(1);
    for (double scene : {0.0, 40.0, 80.0, 120.0}) {
        CSceneNode *node = root.addChild(scene);
        node->setExpanded(scene != 80.0);
        for (double shot : {scene + 12, scene + 24}) {
            node->addChild(shot)->setExpanded(1);
        }
    }
    root.child(1)->child(0)->addChild(55);
    CVideoDescription segmented;
    segmented.root().setExpanded(1);
    CSceneNode *first = segmented.root().addChild(0.0);
    first->setExpanded(1);
    for (double cut : {0.0, 40.0, 80.0, 120.0}) {
        first->addChild(cut);
    }

    QWidget window;
    QPalette dark = window.palette();
    dark.setColor(QPalette::Window, QColor(0x10, 0x12, 0x16));
    window.setPalette(dark);
    window.setAutoFillBackground(true);
    auto *row = new QHBoxLayout(&window);
    auto *playerTree = new CSceneImageTree;
    playerTree->loadBitmaps(250, 249, 456, 455, kivo::skin::kTransparentColor);
    playerTree->setThumbnailRect(3, 3, 35, 18);
    playerTree->setSizeRate(1.5f);
    playerTree->setMinimumSize(230, 420);
    playerTree->attach(&player, &video);
    auto *toolTree = new CSceneImageTree;
    toolTree->loadBitmaps(250, 249, 251, 252, kivo::skin::kTransparentColor);
    toolTree->setThumbnailRect(3, 3, 35, 18);
    toolTree->setSizeRate(1.0f);
    toolTree->setMinimumSize(122, 320);
    toolTree->attach(&segmented, &video);
    auto *strip = new CSceneImageList;
    strip->loadBitmaps(370, 369, kivo::skin::kTransparentColor);
    strip->setThumbnailRect(7, 3, 32, 17);
    strip->setOrientation(1);
    strip->setSizeRate(1.5f);
    strip->setMinimumSize(110, 420);
    strip->attach(&player, &video);
    row->addWidget(captioned("scene tree, player (1.5)", playerTree));
    row->addWidget(captioned("scene tree, KIVOS (1.0)", toolTree));
    row->addWidget(captioned("frame strip (1.5)", strip));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }

    // A selection, an expanded run and a chosen frame, as a user leaves them.
    playerTree->grab();
    const CLayoutPoint selected = root.child(1)->layoutPoint();
    QTest::mouseClick(playerTree, Qt::LeftButton, Qt::NoModifier,
                      QPoint(selected.x + 10, selected.y + 10));
    strip->scrollTo(36);
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, strip->cellRect(4).center());
    QTest::qWait(50);
    return window.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
