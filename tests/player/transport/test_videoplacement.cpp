#include <gtest/gtest.h>

#include "player/transport/videoplacement.h"

namespace {

using namespace kivo::player::video;

struct RateCase {
    QSize native;
    double rate;
    int caption;
    QSize window;
    QRect video;
};

// The window a size rate asks for: at least 240 x 240 with a small video centred, taller by a
// docked caption box; a video of unknown or absurd size still gives a window within reason.
TEST(VideoPlacement, SizeRateGivesTheWindowAndCentresSmallVideo) {
    const RateCase cases[] = {
        {{320, 240}, 0.5, 0, {240, 240}, {40, 62, 160, 120}},
        {{352, 288}, 1.0, 60, {382, 392}, {15, 24, 352, 288}},
        {{640, 480}, 2.0, 0, {1310, 1004}, {15, 24, 1280, 960}},
        // Wide but flat: only the height is held at the minimum.
        {{800, 100}, 1.0, 0, {830, 240}, {15, 72, 800, 100}},
        {{0, 0}, 1.0, 0, {240, 240}, {120, 122, 0, 0}},
        {{1, 10000}, 5.0, 0, {240, kMaxVideoExtent + 44}, {118, 24, 5, kMaxVideoExtent}},
        {{320, 240}, -1.0, 0, {240, 240}, {120, 122, 0, 0}},
    };
    for (const RateCase &c : cases) {
        const CRateSize size = sizeForRate(c.native, c.rate, c.caption);
        EXPECT_EQ(size.window, c.window) << c.native.width() << "x" << c.native.height();
        EXPECT_EQ(size.place.video, c.video) << c.native.width() << "x" << c.native.height();
    }
    // The docked caption box lies below the video, inside the side bars, above the bottom bar.
    EXPECT_EQ(sizeForRate({352, 288}, 1.0, 60).place.captionBox, QRect(15, 312, 352, 60));
    EXPECT_TRUE(sizeForRate({352, 288}, 1.0, 0).place.captionBox.isEmpty());
}

// Auto-scale keeps the aspect ratio: centred across at full height in a wide window, fitted to
// the width and centred down in a tall one; without it, or without a known size, the video
// fills the frame's inside.
TEST(VideoPlacement, AutoScaleFitsAndCentres) {
    // Inside 600 x 400: 570 x 356.
    EXPECT_EQ(placeVideo({600, 400}, true, {320, 240}, 0).video,
              QRect(15 + 285 - 237, 24, 474, 356));
    EXPECT_EQ(placeVideo({400, 600}, true, {320, 240}, 0).video,
              QRect(15, 24 + 278 - 138, 370, 277));
    EXPECT_EQ(placeVideo({600, 400}, false, {320, 240}, 0).video, QRect(15, 24, 570, 356));
    EXPECT_EQ(placeVideo({600, 400}, true, {0, 0}, 0).video, QRect(15, 24, 570, 356));
    EXPECT_EQ(placeVideo({600, 400}, true, {1, 10000}, 0).video, QRect(15 + 285, 24, 0, 356));

    // A docked caption box takes its height from the video, but leaves the window 90 pixels.
    const CVideoPlace captioned = placeVideo({400, 300}, false, {320, 240}, 60);
    EXPECT_EQ(captioned.captionBox, QRect(15, 220, 370, 60));
    EXPECT_EQ(captioned.video, QRect(15, 24, 370, 196));
    EXPECT_EQ(placeVideo({400, 200}, false, {}, 500).captionBox.height(), 110);

    // A window smaller than its frame places nothing of negative size.
    const CVideoPlace tiny = placeVideo({10, 10}, true, {320, 240}, 60);
    EXPECT_GE(tiny.video.width(), 0);
    EXPECT_GE(tiny.video.height(), 0);
    EXPECT_GE(tiny.captionBox.height(), 0);
}

// The frame's bars and buttons follow the window's size.
TEST(VideoPlacement, FrameFollowsTheWindowSize) {
    const CFrameLayout layout = frameLayout({400, 300});
    EXPECT_EQ(layout.topBar, QRect(0, 0, 400, 24));
    EXPECT_EQ(layout.bottomBar, QRect(0, 280, 400, 20));
    EXPECT_EQ(layout.leftBar, QRect(0, 24, 15, 256));
    EXPECT_EQ(layout.rightBar, QRect(385, 24, 15, 256));
    EXPECT_EQ(layout.closeButton, QPoint(384, 4));
    EXPECT_EQ(layout.maximiseButton, QPoint(372, 4));
    EXPECT_EQ(layout.hideButton, QPoint(360, 4));
    EXPECT_EQ(layout.infoButton, QPoint(0, 140));
    EXPECT_EQ(layout.info2Button, QPoint(385, 140));
    EXPECT_EQ(frameLayout({20, 20}).leftBar.height(), 0);
}

// Full video puts the frame just off the screen; the containers dock to either side.
TEST(VideoPlacement, FullVideoAndDocking) {
    EXPECT_EQ(fullVideoRect({0, 0, 1280, 800}), QRect(-15, -24, 1310, 844));
    EXPECT_EQ(fullVideoRect({1280, 0, 1024, 768}), QRect(1265, -24, 1054, 812));
    const QRect window(300, 100, 400, 300);
    EXPECT_EQ(dockedLeft(window, 135), QRect(165, 115, 135, 270));
    EXPECT_EQ(dockedRight(window, 150), QRect(700, 115, 150, 270));
    EXPECT_EQ(dockedLeft(QRect(0, 0, 240, 20), 135).height(), 0);
    EXPECT_EQ(currentExportSize({400, 300}), QSize(355, 239));
    EXPECT_EQ(currentExportSize({30, 30}), QSize(1, 1));
}

}  // namespace
