#include <gtest/gtest.h>

#include "uisupport/dlgmanager.h"
#include "uisupport/magnet.h"

namespace {

const QRect kWorkArea(0, 0, 1280, 770);

TEST(DlgManager, PlacesWindowsBesideTheirReference) {
    const QRect video(300, 100, 400, 300);  // x 300..699, y 100..399, centre (499, 249)
    const QRect panel(0, 0, 477, 99);
    struct Case {
        int mode;
        QRect expected;
    };
    const Case cases[] = {
        // Above the reference and centred on it.
        {0x31, QRect(499 - 238, 100 - 99, 477, 99)},
        // Left and right of it, as tall as it.
        {0x14, QRect(300 - 477, 100, 477, 300)},
        {0x24, QRect(700, 100, 477, 300)},
        // Below it, centred, kept on the work area.
        {0x03, QRect(499 - 238, 400, 477, 99)},
        // Plain: below, left edges lined up.
        {0x00, QRect(300, 400, 477, 99)},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(COVDlgManager::placed(panel, video, c.mode, kWorkArea), c.expected) << c.mode;
    }
    // A window pushed off the work area's right edge comes back inside it.
    const QRect nearEdge(1000, 100, 250, 300);
    EXPECT_EQ(COVDlgManager::placed(QRect(0, 0, 200, 100), nearEdge, 0x23, kWorkArea),
              QRect(1080, 249 - 50, 200, 100));
}

TEST(DlgManager, HitTestFindsTheBordersOfAFramelessWindow) {
    const QSize size(200, 100);
    struct Case {
        QPoint point;
        int code;
    };
    const Case cases[] = {
        {{0, 0}, COVDlgManager::kHitTopLeft},     {{199, 0}, COVDlgManager::kHitTopRight},
        {{100, 2}, COVDlgManager::kHitTop},       {{4, 50}, COVDlgManager::kHitLeft},
        {{5, 50}, COVDlgManager::kHitNone},       {{195, 50}, COVDlgManager::kHitRight},
        {{194, 50}, COVDlgManager::kHitNone},     {{100, 99}, COVDlgManager::kHitBottom},
        {{0, 99}, COVDlgManager::kHitBottomLeft}, {{199, 96}, COVDlgManager::kHitBottomRight},
        {{-1, 50}, COVDlgManager::kHitNone},      {{200, 50}, COVDlgManager::kHitNone},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(COVDlgManager::hitCode(size, c.point, 5), c.code)
            << c.point.x() << "," << c.point.y();
    }
    EXPECT_EQ(COVDlgManager::edgesOf(COVDlgManager::kHitBottomRight),
              Qt::BottomEdge | Qt::RightEdge);
    EXPECT_FALSE(COVDlgManager::edgesOf(COVDlgManager::kHitNone));
}

TEST(Magnet, AMovedWindowSnapsToTheWorkAreaAndToOtherWindows) {
    const QRect other(400, 200, 300, 200);  // x 400..699, y 200..399
    // Near the work area's top-left corner.
    EXPECT_EQ(COVMagnet::snapMoved(QRect(7, -6, 100, 50), {}, kWorkArea, 10), QRect(0, 0, 100, 50));
    // Near the right and bottom edges.
    EXPECT_EQ(COVMagnet::snapMoved(QRect(1175, 715, 100, 50), {}, kWorkArea, 10),
              QRect(1180, 720, 100, 50));
    // Far from everything: unchanged.
    EXPECT_EQ(COVMagnet::snapMoved(QRect(100, 100, 100, 50), {other}, kWorkArea, 10),
              QRect(100, 100, 100, 50));
    // Beside the other window's right edge, and lined up with its top once touching.
    EXPECT_EQ(COVMagnet::snapMoved(QRect(708, 205, 100, 50), {other}, QRect(), 10),
              QRect(700, 200, 100, 50));
    // Below it, left edges lined up.
    EXPECT_EQ(COVMagnet::snapMoved(QRect(395, 405, 100, 50), {other}, QRect(), 10),
              QRect(400, 400, 100, 50));
    // Beside it horizontally but far away vertically: no snap to its side.
    EXPECT_EQ(COVMagnet::snapMoved(QRect(705, 600, 100, 50), {other}, QRect(), 10),
              QRect(705, 600, 100, 50));
}

TEST(Magnet, ASizedWindowMovesOnlyTheDraggedEdges) {
    const QRect other(400, 200, 300, 200);
    const QRect sized =
        COVMagnet::snapSized(QRect(100, 200, 295, 200), Qt::RightEdge, {other}, QRect(), 10);
    EXPECT_EQ(sized, QRect(100, 200, 300, 200));
    const QRect toArea = COVMagnet::snapSized(QRect(5, 5, 100, 100), Qt::LeftEdge | Qt::BottomEdge,
                                              {}, kWorkArea, 10);
    EXPECT_EQ(toArea, QRect(QPoint(0, 5), QPoint(104, 104)));
    EXPECT_EQ(COVMagnet::changedEdges(QRect(0, 0, 10, 10), QRect(0, -5, 10, 15)), Qt::TopEdge);
}

}  // namespace
