#include "uisupport/skinart.h"

#include <QPainter>
#include <QPainterPath>

#include <string_view>

#include "uisupport/internal/pixelart.h"
#include "uisupport/skin.h"

namespace kivo::skin::art {
namespace {

constexpr QRgb kAmberDeepTop = 0xFF5E4014;
constexpr QRgb kAmberDeepBottom = 0xFF3A280B;
constexpr QRgb kButtonFace = 0xFF1B1E23;
constexpr QRgb kDigitLit = 0xFF8FDCFF;
constexpr QRgb kDigitDim = 0xFF10252F;

// The dark well the thumbnail sits in, one pixel wider than the picture on every side.
void well(QImage &image, int x, int y, int width, int height, QRgb border) {
    fill(image, x - 1, y - 1, x + width, y + height, border);
    fill(image, x, y, x + width - 1, y + height - 1, kWell);
}

// Segments a..g of a seven-segment glyph inside a 9 x 9 cell.
void segment(QImage &image, int left, char which, QRgb colour) {
    switch (which) {
        case 'a':
            hLine(image, left + 2, left + 5, 0, colour);
            break;
        case 'b':
            vLine(image, left + 6, 1, 3, colour);
            break;
        case 'c':
            vLine(image, left + 6, 5, 7, colour);
            break;
        case 'd':
            hLine(image, left + 2, left + 5, 8, colour);
            break;
        case 'e':
            vLine(image, left + 1, 5, 7, colour);
            break;
        case 'f':
            vLine(image, left + 1, 1, 3, colour);
            break;
        case 'g':
            hLine(image, left + 2, left + 5, 4, colour);
            break;
        default:
            break;
    }
}

QImage iconCanvas(int size, QPainter &painter) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    painter.begin(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    return image;
}

}  // namespace

QImage sceneCell(bool selected) {
    QImage image = keyedCanvas(41, 25);
    if (selected) {
        body(image, kAmber, kAmberDeepTop, kAmberDeepBottom, kAmberLight);
        well(image, 3, 3, 35, 18, kAmberLight);
    } else {
        body(image, kGraphiteBorder, kGraphiteTop, kGraphiteBottom, kGraphiteHighlight);
        well(image, 3, 3, 35, 18, kWellBorder);
    }
    // Three small marks in the lower band tell the cell apart from a plain frame.
    const QRgb mark = selected ? kAmberLight : kGraphiteHighlight;
    for (int i = 0; i < 3; ++i) {
        hLine(image, 16 + 3 * i, 16 + 3 * i + 1, 22, mark);
    }
    return image;
}

QImage expandButton(bool expanded) {
    QImage image = keyedCanvas(7, 7);
    fill(image, 0, 0, 6, 6, kLine);
    fill(image, 1, 1, 5, 5, kButtonFace);
    setPixel(image, 0, 0, kTransparentColor);
    setPixel(image, 6, 0, kTransparentColor);
    setPixel(image, 0, 6, kTransparentColor);
    setPixel(image, 6, 6, kTransparentColor);
    hLine(image, 2, 4, 3, 0xFFFFFFFF);
    if (!expanded) {
        vLine(image, 3, 2, 4, 0xFFFFFFFF);
    }
    return image;
}

QImage stripCell(bool chosen) {
    QImage image = keyedCanvas(46, 23);
    const QRgb face = chosen ? 0xFF3A2A10 : 0xFF17191D;
    const QRgb edge = chosen ? kAmber : 0xFF2C3037;
    fill(image, 0, 0, 45, 22, face);
    vLine(image, 0, 0, 22, edge);
    vLine(image, 45, 0, 22, edge);
    // The gap between neighbouring frames of the film.
    hLine(image, 0, 45, 0, 0xFF0C0D0F);
    hLine(image, 0, 45, 22, 0xFF0C0D0F);
    // Sprocket holes along both edges let the background through.
    for (int top : {2, 8, 14}) {
        fill(image, 2, top, 4, top + 2, kTransparentColor);
        fill(image, 41, top, 43, top + 2, kTransparentColor);
    }
    well(image, 7, 3, 32, 17, chosen ? kAmberLight : kWellBorder);
    return image;
}

QImage timeDigits() {
    static const char *const kSegments[10] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                              "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};
    QImage image(99, 9, QImage::Format_RGB32);
    image.fill(0xFF000000u);
    for (int digit = 0; digit < 10; ++digit) {
        const int left = digit * 9;
        for (char s : std::string_view("abcdefg")) {
            segment(image, left, s, kDigitDim);
        }
        for (const char *s = kSegments[digit]; *s; ++s) {
            segment(image, left, *s, kDigitLit);
        }
    }
    const int colon = 90;
    fill(image, colon + 3, 2, colon + 4, 3, kDigitLit);
    fill(image, colon + 3, 5, colon + 4, 6, kDigitLit);
    return image;
}

QImage sliderChannel(int width, int height) {
    QImage image = keyedCanvas(width, height);
    const int top = height / 2 - 2;
    hLine(image, 1, width - 2, top, kGraphiteBorder);
    fill(image, 1, top + 1, width - 2, top + 2, kWell);
    hLine(image, 1, width - 2, top + 3, kGraphiteHighlight);
    vLine(image, 0, top + 1, top + 2, kGraphiteBorder);
    vLine(image, width - 1, top + 1, top + 2, kGraphiteBorder);
    return image;
}

QImage sliderFill(int width, int height) {
    QImage image = keyedCanvas(width, height);
    const int top = height / 2 - 2;
    hLine(image, 1, width - 2, top, 0xFF8A5A14);
    hLine(image, 1, width - 2, top + 1, kAmberLight);
    hLine(image, 1, width - 2, top + 2, kAmber);
    hLine(image, 1, width - 2, top + 3, 0xFF8A5A14);
    vLine(image, 0, top + 1, top + 2, 0xFF8A5A14);
    return image;
}

QImage sliderThumb(int width, int height) {
    QImage image = keyedCanvas(width, height);
    fill(image, 0, 1, width - 1, height - 2, 0xFF6C7580);
    fill(image, 1, 0, width - 2, height - 1, 0xFF6C7580);
    fill(image, 1, 1, width - 2, height - 2, 0xFFC9D0D8);
    hLine(image, 1, width - 2, 1, 0xFFF1F4F7);
    vLine(image, width / 2, 3, height - 4, 0xFF6C7580);
    return image;
}

QImage segmentationIcon(int size) {
    QPainter painter;
    QImage image = iconCanvas(size, painter);
    painter.setPen(QPen(QColor(kGraphiteHighlight), 0.8));
    painter.setBrush(QColor(0xFF1F232A));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    // A root cell, a trunk and two child cells: the scene tree the tool builds.
    painter.setPen(QPen(QColor(0xFFE8ECF0), 1.0));
    painter.drawLine(QPointF(4.5, 6), QPointF(4.5, 12.5));
    painter.drawLine(QPointF(4.5, 9), QPointF(7, 9));
    painter.drawLine(QPointF(4.5, 12.5), QPointF(7, 12.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kAmber));
    painter.drawRoundedRect(QRectF(2.5, 2.5, 8, 4), 1, 1);
    painter.setBrush(QColor(0xFF8FA3B8));
    painter.drawRoundedRect(QRectF(7, 7.5, 7, 3), 1, 1);
    painter.drawRoundedRect(QRectF(7, 11, 7, 3), 1, 1);
    painter.end();
    return image;
}

QImage openVideoIcon(int size) {
    QPainter painter;
    QImage image = iconCanvas(size, painter);
    QPainterPath folder;
    folder.moveTo(1, 4);
    folder.lineTo(6, 4);
    folder.lineTo(7.5, 5.5);
    folder.lineTo(15, 5.5);
    folder.lineTo(15, 14);
    folder.lineTo(1, 14);
    folder.closeSubpath();
    painter.setPen(QPen(QColor(0xFF8A5A14), 0.8));
    painter.setBrush(QColor(kAmber));
    painter.drawPath(folder);
    QPainterPath play;
    play.moveTo(6.5, 7.5);
    play.lineTo(11.5, 10);
    play.lineTo(6.5, 12.5);
    play.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF1F232A));
    painter.drawPath(play);
    painter.end();
    return image;
}

QImage saveScvIcon(int size) {
    QPainter painter;
    QImage image = iconCanvas(size, painter);
    painter.setPen(QPen(QColor(0xFF2B3A4E), 0.8));
    painter.setBrush(QColor(0xFF5D7FA6));
    QPainterPath disk;
    disk.moveTo(1.5, 1.5);
    disk.lineTo(12.5, 1.5);
    disk.lineTo(14.5, 3.5);
    disk.lineTo(14.5, 14.5);
    disk.lineTo(1.5, 14.5);
    disk.closeSubpath();
    painter.drawPath(disk);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFFE8ECF0));
    painter.drawRect(QRectF(4, 1.5, 7, 4.5));
    painter.setBrush(QColor(0xFF1F232A));
    painter.drawRect(QRectF(3.5, 8.5, 9, 6));
    painter.setBrush(QColor(kAmber));
    painter.drawRect(QRectF(5, 10, 3, 1.5));
    painter.drawRect(QRectF(8.5, 12, 3, 1.5));
    painter.end();
    return image;
}

}  // namespace kivo::skin::art

namespace kivo::skin::art {
namespace {

constexpr QRgb kIconDark = 0xFF1F232A;
constexpr QRgb kIconLight = 0xFFE8ECF0;
constexpr QRgb kIconBlue = 0xFF5D7FA6;
constexpr QRgb kIconGreen = 0xFF7FC24A;

// A folder shape filled in amber, as the open-video icon draws it.
void drawFolder(QPainter &painter) {
    QPainterPath folder;
    folder.moveTo(1, 3.5);
    folder.lineTo(6, 3.5);
    folder.lineTo(7.5, 5);
    folder.lineTo(15, 5);
    folder.lineTo(15, 13.5);
    folder.lineTo(1, 13.5);
    folder.closeSubpath();
    painter.setPen(QPen(QColor(0xFF8A5A14), 0.8));
    painter.setBrush(QColor(kAmber));
    painter.drawPath(folder);
}

// A sheet with a folded corner.
void drawSheet(QPainter &painter, QRgb fill) {
    QPainterPath sheet;
    sheet.moveTo(3, 1.5);
    sheet.lineTo(10, 1.5);
    sheet.lineTo(13, 4.5);
    sheet.lineTo(13, 14.5);
    sheet.lineTo(3, 14.5);
    sheet.closeSubpath();
    painter.setPen(QPen(QColor(0xFF6C7580), 0.8));
    painter.setBrush(QColor(fill));
    painter.drawPath(sheet);
    painter.drawLine(QPointF(10, 1.5), QPointF(10, 4.5));
    painter.drawLine(QPointF(10, 4.5), QPointF(13, 4.5));
}

void drawFilm(QPainter &painter, const QRectF &frame) {
    painter.setPen(QPen(QColor(kIconDark), 0.8));
    painter.setBrush(QColor(kIconBlue));
    painter.drawRoundedRect(frame, 1, 1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kIconDark));
    for (double x = frame.left() + 1.5; x < frame.right() - 1; x += 3) {
        painter.drawRect(QRectF(x, frame.top() + 0.8, 1.5, 1.2));
        painter.drawRect(QRectF(x, frame.bottom() - 2, 1.5, 1.2));
    }
    QPainterPath play;
    const QPointF c = frame.center();
    play.moveTo(c.x() - 1.8, c.y() - 2.2);
    play.lineTo(c.x() + 2.4, c.y());
    play.lineTo(c.x() - 1.8, c.y() + 2.2);
    play.closeSubpath();
    painter.setBrush(QColor(kIconLight));
    painter.drawPath(play);
}

void drawNote(QPainter &painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kIconGreen));
    painter.drawEllipse(QRectF(2, 10, 4.5, 3.5));
    painter.drawEllipse(QRectF(9, 8.5, 4.5, 3.5));
    QPainterPath beam;
    beam.moveTo(5.5, 11.5);
    beam.lineTo(5.5, 3.5);
    beam.lineTo(13.5, 2);
    beam.lineTo(13.5, 10);
    beam.lineTo(12.3, 10);
    beam.lineTo(12.3, 4.8);
    beam.lineTo(6.7, 5.9);
    beam.lineTo(6.7, 11.5);
    beam.closeSubpath();
    painter.drawPath(beam);
}

}  // namespace

QImage mediaFilesIcon(int size) {
    QPainter painter;
    QImage image = iconCanvas(size, painter);
    // A stack of three discs: the whole collection.
    for (int i = 2; i >= 0; --i) {
        painter.setPen(QPen(QColor(0xFF3B414B), 0.8));
        painter.setBrush(QColor(i == 0 ? kAmber : kGraphiteHighlight));
        painter.drawEllipse(QRectF(1.5 + i * 1.5, 1.5 + i * 1.5, 11, 11));
    }
    painter.setBrush(QColor(kIconDark));
    painter.drawEllipse(QRectF(5.5, 5.5, 3, 3));
    painter.end();
    return image;
}

QImage videoIcon(int size) {
    QPainter painter;
    QImage image = iconCanvas(size, painter);
    drawFilm(painter, QRectF(1, 3, 14, 10));
    painter.end();
    return image;
}

QImage audioIcon(int size) {
    QPainter painter;
    QImage image = iconCanvas(size, painter);
    drawNote(painter);
    painter.end();
    return image;
}

QImage extensionIcon(int size) {
    QPainter painter;
    QImage image = iconCanvas(size, painter);
    // A tag with its hole: the kind of the files below it.
    QPainterPath tag;
    tag.moveTo(1.5, 5);
    tag.lineTo(5, 1.5);
    tag.lineTo(14.5, 1.5);
    tag.lineTo(14.5, 14.5);
    tag.lineTo(5, 14.5);
    tag.lineTo(1.5, 11);
    tag.closeSubpath();
    painter.setPen(QPen(QColor(0xFF8A5A14), 0.8));
    painter.setBrush(QColor(kAmberLight));
    painter.drawPath(tag);
    painter.setBrush(QColor(kIconDark));
    painter.drawEllipse(QRectF(3.5, 6.5, 3, 3));
    painter.setPen(QPen(QColor(kIconDark), 1.2));
    painter.drawLine(QPointF(8, 5.5), QPointF(12.5, 5.5));
    painter.drawLine(QPointF(8, 8), QPointF(12.5, 8));
    painter.drawLine(QPointF(8, 10.5), QPointF(11, 10.5));
    painter.end();
    return image;
}

QImage mediaFileIcon(int size) {
    QPainter painter;
    QImage image = iconCanvas(size, painter);
    drawSheet(painter, kIconLight);
    drawFilm(painter, QRectF(4.5, 7, 7, 5.5));
    painter.end();
    return image;
}

QImage browseFolderIcon(int size) {
    QPainter painter;
    QImage image = iconCanvas(size, painter);
    drawFolder(painter);
    painter.setPen(QPen(QColor(kIconDark), 1.2));
    for (double x : {5.0, 8.0, 11.0}) {
        painter.drawPoint(QPointF(x, 10));
    }
    painter.end();
    return image;
}

QImage searchIcon(int size) {
    QPainter painter;
    QImage image = iconCanvas(size, painter);
    painter.setPen(QPen(QColor(kIconLight), 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
    painter.setPen(QPen(QColor(kLine), 1.4));
    painter.setBrush(QColor(kIconBlue));
    painter.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    painter.setPen(QPen(QColor(kIconLight), 1.0));
    painter.drawArc(QRectF(3.5, 3.5, 5, 5), 90 * 16, 90 * 16);
    painter.end();
    return image;
}

QImage stopSearchIcon(int size) {
    QPainter painter;
    QImage image = iconCanvas(size, painter);
    painter.setPen(QPen(QColor(0xFF7A1E14), 0.8));
    painter.setBrush(QColor(0xFFD9493A));
    painter.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kIconLight));
    painter.drawRect(QRectF(5.5, 5.5, 5, 5));
    painter.end();
    return image;
}

}  // namespace kivo::skin::art
