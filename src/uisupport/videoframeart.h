#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include "uisupport/panelart.h"
#include "uisupport/skin.h"

class QPainter;

// The player's video window as the skin draws it: the four bars of the frame around the video
// and the four looks of each of its six buttons. The window is sized freely, so each bar is
// drawn as two ends of kBarEnd pixels and a middle that repeats along the bar.
namespace kivo::skin::videoframe {

inline constexpr int kBarEnd = 16;
inline constexpr QSize kCornerButton{11, 12};
inline constexpr QSize kSideButton{15, 20};

enum class Button { kHide, kMaximise, kClose, kRestore, kInfo, kInfo2 };
inline constexpr int kButtonCount = 6;
using Look = panel::Look;

// The skin bitmap number of a look of a button.
constexpr int bitmapId(Button button, Look look) {
    return kVideoButtons + panel::kLookCount * static_cast<int>(button) + look;
}

QImage topBar();     // 48 x 24
QImage bottomBar();  // 48 x 20
QImage leftBar();    // 15 x 48
QImage rightBar();   // 15 x 48
QImage button(Button which, Look look);

// Draws a bar's bitmap over the target: its ends at the target's ends, its middle repeated
// between them along the longer side.
void drawBar(QPainter &painter, const QImage &bar, const QRect &target);

}  // namespace kivo::skin::videoframe
