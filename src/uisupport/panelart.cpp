#include "uisupport/panelart.h"

#include <QPainter>
#include <QPolygon>
#include <QRegion>

#include <cstring>
#include <vector>

#include "uisupport/internal/pixelart.h"

namespace kivo::skin::panel {
namespace {

using namespace kivo::skin::art;

constexpr QRgb kEdge = kButtonEdge;
constexpr QRgb kBevelLight = 0xFF4A515C;
constexpr QRgb kBevelDark = 0xFF131519;
constexpr QRgb kGripLight = 0xFF3A404A;
constexpr QRgb kGripDark = 0xFF17191D;
constexpr QRgb kScreen = 0xFF000000;
constexpr QRgb kScreenDivider = 0xFF1E2329;
constexpr QRgb kScreenRule = 0xFF15191E;
constexpr QRgb kMark = 0xFF646C78;

// Glyphs are drawn in white on black into a scratch canvas, then placed centred on a button.
constexpr QRgb kInk = 0xFFFFFFFF;
// A pixel of this colour is not drawn but counts when the glyph is centred.
constexpr QRgb kRoom = 0xFF808080;

QRegion outlineRegion() {
    return QRegion(QPolygon(QList<QPoint>(kOutline.begin(), kOutline.end())), Qt::WindingFill);
}

// The recessed frame of a well around the given interior: dark above and left, light below and
// right, as if cut into the panel.
void recess(QImage &image, const QRect &interior, QRgb inside) {
    const int x0 = interior.left() - 1;
    const int y0 = interior.top() - 1;
    const int x1 = interior.right() + 1;
    const int y1 = interior.bottom() + 1;
    hLine(image, x0, x1, y0, kBevelDark);
    vLine(image, x0, y0, y1, kBevelDark);
    hLine(image, x0 + 1, x1, y1, kBevelLight);
    vLine(image, x1, y0 + 1, y1, kBevelLight);
    fill(image, interior.left(), interior.top(), interior.right(), interior.bottom(), inside);
}

// Rows of a small pixel font; 'X' marks a pixel.
using Pattern = std::vector<const char *>;

void stamp(QImage &image, int left, int top, const Pattern &rows, QRgb colour) {
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (int x = 0; rows[y][x] != '\0'; ++x) {
            if (rows[y][x] == 'X') {
                setPixel(image, left + x, top + static_cast<int>(y), colour);
            }
        }
    }
}

// The product mark, engraved: a shadow pixel below and right of every pixel of the letters.
void productMark(QImage &image, int left, int top) {
    static const Pattern kLetters[] = {
        {"X..X", "X.X.", "XX..", "X...", "XX..", "X.X.", "X..X"},
        {"X", "X", "X", "X", "X", "X", "X"},
        {"X...X", "X...X", "X...X", ".X.X.", ".X.X.", ".X.X.", "..X.."},
        {".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."},
    };
    for (QRgb colour : {kGlyphShadow, kMark}) {
        const int shift = colour == kGlyphShadow ? 1 : 0;
        int x = left;
        for (const Pattern &letter : kLetters) {
            stamp(image, x + shift, top + shift, letter, colour);
            x += static_cast<int>(std::strlen(letter[0])) + 2;
        }
    }
}

// Three raised ridges across the title strip: the place to take the window by.
void grip(QImage &image, int x0, int x1) {
    for (int y : {4, 7, 10}) {
        hLine(image, x0, x1, y, kGripLight);
        hLine(image, x0 + 1, x1 + 1, y + 1, kGripDark);
    }
}

// Rows of small holes punched into the panel, for the places that hold nothing.
void vents(QImage &image, const QRect &area) {
    for (int y = area.top(); y < area.bottom(); y += 3) {
        for (int x = area.left(); x < area.right(); x += 3) {
            setPixel(image, x, y, kEdge);
            setPixel(image, x + 1, y + 1, kGripLight);
        }
    }
}

// The graphite body inside the outline, with a dark outer edge and a bevel one pixel in.
void shapedBody(QImage &image) {
    const int w = image.width();
    const int h = image.height();
    const QRegion shape = outlineRegion();
    std::vector<char> depth(static_cast<std::size_t>(w * h), 0);
    const auto at = [&](int x, int y) -> char {
        return x < 0 || y < 0 || x >= w || y >= h ? 0 : depth[static_cast<std::size_t>(y * w + x)];
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (shape.contains(QPoint(x, y))) {
                depth[static_cast<std::size_t>(y * w + x)] = 3;
                setPixel(image, x, y, blend(kGraphiteTop, kGraphiteBottom, y, h - 1));
            }
        }
    }
    // Depth 1 is the edge (a pixel beside the outside), 2 the bevel beside it.
    for (int level : {1, 2}) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (at(x, y) != 3) {
                    continue;
                }
                const int outer = level - 1;
                const bool above = at(x, y - 1) == outer;
                const bool left = at(x - 1, y) == outer;
                if (!above && !left && at(x + 1, y) != outer && at(x, y + 1) != outer) {
                    continue;
                }
                depth[static_cast<std::size_t>(y * w + x)] = static_cast<char>(level);
                const QRgb colour = level == 1 ? kEdge : (above || left ? kBevelLight : kBevelDark);
                setPixel(image, x, y, colour);
            }
        }
    }
}

void triangleRight(QImage &glyph, int left, int middle, int half) {
    for (int c = 0; c <= half; ++c) {
        vLine(glyph, left + c, middle - (half - c), middle + (half - c), kInk);
    }
}

void triangleLeft(QImage &glyph, int tip, int middle, int half) {
    for (int c = 0; c <= half; ++c) {
        vLine(glyph, tip + c, middle - c, middle + c, kInk);
    }
}

void triangleUp(QImage &glyph, int centre, int tip, int half) {
    for (int r = 0; r <= half; ++r) {
        hLine(glyph, centre - r, centre + r, tip + r, kInk);
    }
}

void triangleDown(QImage &glyph, int centre, int top, int half) {
    for (int r = 0; r <= half; ++r) {
        hLine(glyph, centre - (half - r), centre + (half - r), top + r, kInk);
    }
}

void cross(QImage &glyph, int left, int top, int size) {
    for (int i = 0; i < size; ++i) {
        setPixel(glyph, left + i, top + i, kInk);
        setPixel(glyph, left + size - 1 - i, top + i, kInk);
    }
}

void speakerGlyph(QImage &glyph, bool soundOn) {
    fill(glyph, 10, 12, 11, 14, kInk);
    vLine(glyph, 12, 11, 15, kInk);
    vLine(glyph, 13, 10, 16, kInk);
    vLine(glyph, 14, 9, 17, kInk);
    if (!soundOn) {
        cross(glyph, 17, 11, 5);
        return;
    }
    setPixel(glyph, 16, 11, kInk);
    vLine(glyph, 17, 12, 14, kInk);
    setPixel(glyph, 16, 15, kInk);
    setPixel(glyph, 18, 8, kInk);
    setPixel(glyph, 19, 9, kInk);
    vLine(glyph, 20, 10, 16, kInk);
    setPixel(glyph, 19, 17, kInk);
    setPixel(glyph, 18, 18, kInk);
}

// The symbol of a button, drawn somewhere on a 40 x 30 scratch canvas; only its extent matters.
QImage glyphOf(Button which, Look look) {
    QImage glyph(40, 30, QImage::Format_RGB32);
    glyph.fill(0xFF000000u);
    switch (which) {
        case Button::kExit:
            cross(glyph, 10, 10, 6);
            cross(glyph, 11, 10, 6);
            break;
        case Button::kVideoWindow:
            fill(glyph, 10, 10, 18, 11, kInk);
            vLine(glyph, 10, 12, 16, kInk);
            vLine(glyph, 18, 12, 16, kInk);
            hLine(glyph, 10, 18, 16, kInk);
            break;
        case Button::kMinimise:
            setPixel(glyph, 11, 10, kRoom);
            fill(glyph, 11, 15, 17, 16, kInk);
            break;
        case Button::kOpen:
            triangleUp(glyph, 15, 8, 5);
            fill(glyph, 10, 15, 20, 16, kInk);
            break;
        case Button::kChannel:
            // A television: antenna, set and feet.
            for (int i = 0; i < 3; ++i) {
                setPixel(glyph, 13 + i, 5 + i, kInk);
                setPixel(glyph, 19 - i, 5 + i, kInk);
            }
            fill(glyph, 10, 8, 22, 15, kInk);
            fill(glyph, 12, 10, 20, 13, 0xFF000000u);
            setPixel(glyph, 12, 16, kInk);
            setPixel(glyph, 20, 16, kInk);
            break;
        case Button::kPlay:
            triangleRight(glyph, 10, 14, 7);
            break;
        case Button::kPause:
            fill(glyph, 10, 10, 11, 16, kInk);
            fill(glyph, 14, 10, 15, 16, kInk);
            break;
        case Button::kStop:
            fill(glyph, 10, 10, 16, 16, kInk);
            break;
        case Button::kFastBackward:
            triangleLeft(glyph, 10, 13, 3);
            triangleLeft(glyph, 14, 13, 3);
            break;
        case Button::kFastForward:
            triangleRight(glyph, 10, 13, 3);
            triangleRight(glyph, 14, 13, 3);
            break;
        case Button::kStepBack:
            fill(glyph, 10, 10, 11, 16, kInk);
            triangleLeft(glyph, 13, 13, 3);
            break;
        case Button::kStepForward:
            triangleRight(glyph, 10, 13, 3);
            fill(glyph, 15, 10, 16, 16, kInk);
            break;
        case Button::kOption:
            for (int y : {10, 12, 14}) {
                hLine(glyph, 10, 18, y, kInk);
            }
            triangleDown(glyph, 23, 11, 2);
            break;
        case Button::kSpeaker:
            speakerGlyph(glyph, look == kPressed);
            break;
    }
    return glyph;
}

// Draws the glyph centred on the button, with its shadow below and right when one is given.
void placeGlyph(QImage &image, const QImage &glyph, QPoint shift, QRgb colour, QRgb shadow) {
    QRect extent;
    for (int y = 0; y < glyph.height(); ++y) {
        for (int x = 0; x < glyph.width(); ++x) {
            if (glyph.pixel(x, y) != 0xFF000000u) {
                extent |= QRect(x, y, 1, 1);
            }
        }
    }
    const QPoint offset = QPoint((image.width() - extent.width()) / 2 - extent.left(),
                                 (image.height() - extent.height()) / 2 - extent.top()) +
                          shift;
    for (int pass = shadow == 0 ? 1 : 0; pass < 2; ++pass) {
        const QPoint at = offset + (pass == 0 ? QPoint(1, 1) : QPoint(0, 0));
        for (int y = extent.top(); y <= extent.bottom(); ++y) {
            for (int x = extent.left(); x <= extent.right(); ++x) {
                if (glyph.pixel(x, y) == kInk) {
                    setPixel(image, x + at.x(), y + at.y(), pass == 0 ? shadow : colour);
                }
            }
        }
    }
}

QImage keyed(int id) {
    return transparentImage(bitmap(id), kTransparentColor);
}

void drawSlider(QPainter &painter, const QRect &place, const int (&ids)[3], double share) {
    const QImage thumb = keyed(ids[1]);
    const int left = qRound(share * (place.width() - thumb.width()));
    painter.drawImage(place.topLeft(), keyed(ids[0]));
    painter.drawImage(place.topLeft(), keyed(ids[2]),
                      QRect(0, 0, left + thumb.width() / 2, place.height()));
    painter.drawImage(place.topLeft() + QPoint(left, (place.height() - thumb.height()) / 2), thumb);
}

}  // namespace

QImage background() {
    QImage image = keyedCanvas(kSize.width(), kSize.height());
    shapedBody(image);
    productMark(image, 9, 4);
    grip(image, 40, 418);
    vents(image, QRect(427, 44, 42, 28));
    vents(image, QRect(6, 20, 18, 62));
    // One screen holds the track grid on the left and the three lines of the open file.
    const QRect screen(kTrackGrid.left(), kFileInfoLine.top() - 1,
                       kFileInfoLine.right() + 4 - kTrackGrid.left(),
                       kPlayStateLine.bottom() - kFileInfoLine.top() + 2);
    recess(image, screen, kScreen);
    vLine(image, kTrackGrid.right() + 2, screen.top() + 2, screen.bottom() - 2, kScreenDivider);
    for (int y : {kTimeDisplay.top() - 2, kTimeDisplay.bottom() + 3}) {
        for (int x = kTimeDisplay.left(); x <= kFileInfoLine.right(); x += 2) {
            setPixel(image, x, y, kScreenRule);
        }
    }
    return image;
}

QImage button(Button which, Look look) {
    const ButtonPlace &place = kButtons[static_cast<std::size_t>(which)];
    const ButtonLook &colours = kButtonLooks[look];
    QImage image = keyedCanvas(place.rect.width(), place.rect.height());
    body(image, colours.border, colours.top, colours.bottom, colours.highlight);
    const QPoint shift = look == kPressed ? QPoint(1, 1) : QPoint(0, 0);
    placeGlyph(image, glyphOf(which, look), shift, colours.glyph, colours.shadow);
    return image;
}

QImage textLineBackground(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kScreen);
    return image;
}

QImage preview() {
    QImage image(kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setClipRegion(outlineRegion());
    painter.drawImage(0, 0, bitmap(kPanelBackground));
    painter.setClipping(false);
    painter.drawImage(kFileInfoLine.topLeft(), bitmap(kFileInfoBackground));
    painter.drawImage(kPlayStateLine.topLeft(), bitmap(kPlayStateBackground));
    const QImage digits = bitmap(kTimeDigits);
    const int glyphWidth = digits.width() / 11;
    painter.fillRect(kTimeDisplay, Qt::black);
    for (int i = 0; i < 8; ++i) {
        const int glyph = i % 3 == 2 ? 10 : 0;
        painter.drawImage(kTimeDisplay.topLeft() + QPoint(i * glyphWidth, 0), digits,
                          QRect(glyph * glyphWidth, 0, glyphWidth, digits.height()));
    }
    for (int b = 0; b < kButtonCount; ++b) {
        painter.drawImage(kButtons[static_cast<std::size_t>(b)].rect.topLeft(),
                          keyed(bitmapId(static_cast<Button>(b), kNormal)));
    }
    drawSlider(painter, kVolumeSlider, {kVolumeChannel, kVolumeThumb, kVolumeFill}, 0.9);
    drawSlider(painter, kPositionSlider, {kPositionChannel, kPositionThumb, kPositionFill},
               1.0 / 3.0);
    return image;
}

}  // namespace kivo::skin::panel
