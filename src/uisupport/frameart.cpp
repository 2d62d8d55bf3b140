#include "uisupport/frameart.h"

#include "uisupport/internal/pixelart.h"
#include "uisupport/skin.h"

namespace kivo::skin::frame {
namespace {

using namespace kivo::skin::art;

constexpr QRgb kTitleTop = 0xFF343941;
constexpr QRgb kTitleBottom = 0xFF202328;
constexpr QRgb kEdgeShadow = 0xFF15171A;

// Three dotted grip lines across the title piece, between the left end and the buttons.
void titleGrip(QImage &image, int x0, int x1) {
    for (int y : {10, 13, 16}) {
        for (int x = x0; x <= x1; x += 2) {
            setPixel(image, x, y, kGraphiteHighlight);
            setPixel(image, x + 1, y + 1, kEdgeShadow);
        }
    }
}

void glyph(QImage &image, TitleButton which, QRgb colour, QPoint shift) {
    const int dx = shift.x();
    const int middle = kButtonSize.height() / 2 + shift.y();
    switch (which) {
        case TitleButton::kNextPage:
            for (int i = 0; i < 4; ++i) {
                vLine(image, 6 + i + dx, middle - 3 + i, middle + 3 - i, colour);
            }
            break;
        case TitleButton::kPreviousPage:
            for (int i = 0; i < 4; ++i) {
                vLine(image, 9 - i + dx, middle - 3 + i, middle + 3 - i, colour);
            }
            break;
        case TitleButton::kClose:
            for (int i = 0; i < 7; ++i) {
                const int y = 4 + i + shift.y();
                hLine(image, 4 + i + dx, 5 + i + dx, y, colour);
                hLine(image, 10 - i + dx, 11 - i + dx, y, colour);
            }
            break;
    }
}

}  // namespace

QRect pageRect(QSize window) {
    return QRect(kSideWidth, kTopHeight, qMax(0, window.width() - 2 * kSideWidth),
                 qMax(0, window.height() - kTopHeight - kBottomHeight));
}

QImage frame(QSize window) {
    const int w = qMax(window.width(), 2 * kSideWidth);
    const int h = qMax(window.height(), kTopHeight + kBottomHeight);
    QImage image = keyedCanvas(w, h);
    for (int y = 0; y < kTopHeight; ++y) {
        hLine(image, 0, w - 1, y, blend(kTitleTop, kTitleBottom, y, kTopHeight - 1));
    }
    fill(image, 0, kTopHeight, kSideWidth - 1, h - kBottomHeight - 1, kGraphiteBottom);
    fill(image, w - kSideWidth, kTopHeight, w - 1, h - kBottomHeight - 1, kGraphiteBottom);
    for (int y = h - kBottomHeight; y < h; ++y) {
        hLine(image, 0, w - 1, y,
              blend(kGraphiteBottom, kTitleBottom, y - (h - kBottomHeight), kBottomHeight - 1));
    }
    hLine(image, 1, w - 2, 1, kGraphiteHighlight);
    hLine(image, 0, w - 1, 0, kGraphiteBorder);
    hLine(image, 0, w - 1, h - 1, kGraphiteBorder);
    vLine(image, 0, 0, h - 1, kGraphiteBorder);
    vLine(image, w - 1, 0, h - 1, kGraphiteBorder);
    titleGrip(image, 6, w - 4 * kButtonSize.width() - 8);
    // A recessed rim around the pages.
    const QRect pages = pageRect(QSize(w, h));
    hLine(image, pages.left() - 1, pages.right() + 1, pages.top() - 1, kEdgeShadow);
    vLine(image, pages.left() - 1, pages.top() - 1, pages.bottom() + 1, kEdgeShadow);
    hLine(image, pages.left() - 1, pages.right() + 1, pages.bottom() + 1, kGraphiteHighlight);
    vLine(image, pages.right() + 1, pages.top(), pages.bottom() + 1, kGraphiteHighlight);
    // An amber mark at the left end of the bottom piece.
    hLine(image, 6, 20, h - kBottomHeight / 2, kAmber);
    return image;
}

QImage titleButton(TitleButton which, Look look) {
    const ButtonLook &colours = kButtonLooks[look];
    QImage image = keyedCanvas(kButtonSize.width(), kButtonSize.height());
    body(image, colours.border, colours.top, colours.bottom, colours.highlight);
    if (colours.shadow != 0) {
        glyph(image, which, colours.shadow, QPoint(1, 1));
    }
    const QPoint pressed = look == kPressed ? QPoint(1, 1) : QPoint(0, 0);
    glyph(image, which, colours.glyph, pressed);
    return image;
}

}  // namespace kivo::skin::frame
