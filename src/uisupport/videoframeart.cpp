#include "uisupport/videoframeart.h"

#include <QPainter>

#include <algorithm>

#include "uisupport/internal/pixelart.h"

namespace kivo::skin::videoframe {
namespace {

using namespace kivo::skin::art;

constexpr QRgb kEdge = 0xFF08090B;
constexpr QRgb kBevelLight = 0xFF4A515C;
constexpr QRgb kBevelDark = 0xFF131519;
constexpr QRgb kGripLight = 0xFF3A404A;
constexpr QRgb kGripDark = 0xFF17191D;
constexpr QRgb kGlyphShadow = 0xFF0B0C0E;

// A horizontal bar: graphite shading across its height, the dark outer edge, a bevel, and on
// the side of the video a cool grey line, as if the picture sat in a lit groove.
QImage horizontalBar(int height, bool videoBelow) {
    QImage image(3 * kBarEnd, height, QImage::Format_RGB32);
    const int w = image.width();
    for (int y = 0; y < height; ++y) {
        hLine(image, 0, w - 1, y, blend(kGraphiteTop, kGraphiteBottom, y, height - 1));
    }
    const int outer = videoBelow ? 0 : height - 1;
    const int inner = videoBelow ? height - 1 : 0;
    hLine(image, 0, w - 1, outer, kEdge);
    hLine(image, 0, w - 1, videoBelow ? 1 : height - 2, videoBelow ? kBevelLight : kBevelDark);
    hLine(image, 0, w - 1, inner, kLine);
    hLine(image, 0, w - 1, videoBelow ? height - 2 : 1, kWellBorder);
    // The ends carry the side bars' edges round the corners.
    vLine(image, 0, 0, height - 1, kEdge);
    vLine(image, w - 1, 0, height - 1, kEdge);
    vLine(image, 1, 1, height - 2, kBevelLight);
    vLine(image, w - 2, 1, height - 2, kBevelDark);
    if (videoBelow) {
        // The top bar is the handle: ridges in the middle, and an amber mark at the left end.
        for (int y : {8, 11, 14}) {
            hLine(image, kBarEnd, 2 * kBarEnd - 1, y, kGripLight);
            hLine(image, kBarEnd, 2 * kBarEnd - 1, y + 1, kGripDark);
        }
        fill(image, 6, 9, 8, 13, kAmber);
        vLine(image, 7, 10, 12, kAmberLight);
    }
    return image;
}

// A vertical bar, like the horizontal ones turned: the line on the side of the video.
QImage verticalBar(bool videoRight) {
    QImage image(15, 3 * kBarEnd, QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    for (int x = 0; x < w; ++x) {
        const int depth = videoRight ? x : w - 1 - x;
        vLine(image, x, 0, h - 1, blend(kGraphiteTop, kGraphiteBottom, depth, w - 1));
    }
    const int outer = videoRight ? 0 : w - 1;
    const int inner = videoRight ? w - 1 : 0;
    vLine(image, outer, 0, h - 1, kEdge);
    vLine(image, videoRight ? 1 : w - 2, 0, h - 1, videoRight ? kBevelLight : kBevelDark);
    vLine(image, inner, 0, h - 1, kLine);
    vLine(image, videoRight ? w - 2 : 1, 0, h - 1, kWellBorder);
    return image;
}

struct LookColours {
    QRgb border;
    QRgb top;
    QRgb bottom;
    QRgb highlight;
    QRgb glyph;
};

// As the control panel's buttons: raised graphite, lighter under the mouse, sunk with amber when
// pressed, flat and faint when disabled.
constexpr LookColours kLooks[panel::kLookCount] = {
    {kEdge, 0xFF3A3F48, 0xFF24282E, 0xFF565E6A, kLine},
    {kEdge, 0xFF474D57, 0xFF2D3138, 0xFF6A7480, 0xFFF1F4F7},
    {0xFF8A5A14, 0xFF141619, 0xFF23272D, 0xFF0E0F12, kAmber},
    {0xFF16181B, 0xFF25282D, 0xFF222529, 0xFF2B2F35, 0xFF4A515B},
};

void box(QImage &image, int x0, int y0, int x1, int y1, QRgb colour) {
    hLine(image, x0, x1, y0, colour);
    hLine(image, x0, x1, y0 + 1, colour);
    hLine(image, x0, x1, y1, colour);
    vLine(image, x0, y0, y1, colour);
    vLine(image, x1, y0, y1, colour);
}

// The symbol, with its top-left corner at (x, y).
void glyph(QImage &image, Button which, int x, int y, QRgb colour) {
    switch (which) {
        case Button::kHide:
            fill(image, x, y + 5, x + 4, y + 6, colour);
            break;
        case Button::kMaximise:
            box(image, x, y, x + 5, y + 5, colour);
            break;
        case Button::kRestore:
            box(image, x + 2, y, x + 6, y + 3, colour);
            box(image, x, y + 2, x + 4, y + 6, colour);
            break;
        case Button::kClose:
            for (int i = 0; i < 5; ++i) {
                setPixel(image, x + i, y + i + 1, colour);
                setPixel(image, x + i + 1, y + i + 1, colour);
                setPixel(image, x + 4 - i, y + i + 1, colour);
                setPixel(image, x + 5 - i, y + i + 1, colour);
            }
            break;
        case Button::kInfo:
        case Button::kInfo2: {
            // An arrow out of the frame, towards the side the container docks to.
            const bool left = which == Button::kInfo;
            for (int c = 0; c < 4; ++c) {
                vLine(image, left ? x + c : x + 3 - c, y + 3 - c, y + 3 + c, colour);
            }
            break;
        }
    }
}

}  // namespace

QImage topBar() {
    return horizontalBar(24, true);
}

QImage bottomBar() {
    return horizontalBar(20, false);
}

QImage leftBar() {
    return verticalBar(true);
}

QImage rightBar() {
    return verticalBar(false);
}

QImage button(Button which, Look look) {
    const bool side = which == Button::kInfo || which == Button::kInfo2;
    const QSize size = side ? kSideButton : kCornerButton;
    QImage image = keyedCanvas(size.width(), size.height());
    const LookColours &colours = kLooks[look];
    body(image, colours.border, colours.top, colours.bottom, colours.highlight);
    const QSize glyphSize = side ? QSize(4, 7) : QSize(7, 7);
    const int shift = look == panel::kPressed ? 1 : 0;
    const int x = (size.width() - glyphSize.width()) / 2 + shift;
    const int y = (size.height() - glyphSize.height()) / 2 + shift;
    if (look != panel::kPressed && look != panel::kDisabled) {
        glyph(image, which, x + 1, y + 1, kGlyphShadow);
    }
    glyph(image, which, x, y, colours.glyph);
    return image;
}

void drawBar(QPainter &painter, const QImage &bar, const QRect &target) {
    if (target.isEmpty() || bar.isNull()) {
        return;
    }
    const bool across = bar.width() > bar.height();
    const int length = across ? target.width() : target.height();
    const int end = std::min(kBarEnd, length / 2);
    const auto piece = [&](int from, int to, int source) {
        // The part [from, to) along the bar, taken from the bitmap at source.
        if (to <= from) {
            return;
        }
        if (across) {
            painter.drawImage(QRect(target.left() + from, target.top(), to - from, target.height()),
                              bar, QRect(source, 0, to - from, bar.height()));
        } else {
            painter.drawImage(QRect(target.left(), target.top() + from, target.width(), to - from),
                              bar, QRect(0, source, bar.width(), to - from));
        }
    };
    piece(0, end, 0);
    for (int at = end; at < length - end; at += kBarEnd) {
        piece(at, std::min(at + kBarEnd, length - end), kBarEnd);
    }
    piece(length - end, length, 3 * kBarEnd - end);
}

}  // namespace kivo::skin::videoframe
