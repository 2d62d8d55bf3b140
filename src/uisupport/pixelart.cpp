#include "uisupport/internal/pixelart.h"

#include "uisupport/skin.h"

namespace kivo::skin::art {

QImage keyedCanvas(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kTransparentColor);
    return image;
}

void setPixel(QImage &image, int x, int y, QRgb colour) {
    if (image.valid(x, y)) {
        image.setPixel(x, y, colour);
    }
}

void hLine(QImage &image, int x0, int x1, int y, QRgb colour) {
    for (int x = x0; x <= x1; ++x) {
        setPixel(image, x, y, colour);
    }
}

void vLine(QImage &image, int x, int y0, int y1, QRgb colour) {
    for (int y = y0; y <= y1; ++y) {
        setPixel(image, x, y, colour);
    }
}

void fill(QImage &image, int x0, int y0, int x1, int y1, QRgb colour) {
    for (int y = y0; y <= y1; ++y) {
        hLine(image, x0, x1, y, colour);
    }
}

QRgb blend(QRgb from, QRgb to, int step, int steps) {
    if (steps <= 0) {
        return from;
    }
    const auto mix = [&](int a, int b) { return a + (b - a) * step / steps; };
    return qRgb(mix(qRed(from), qRed(to)), mix(qGreen(from), qGreen(to)),
                mix(qBlue(from), qBlue(to)));
}

void body(QImage &image, QRgb border, QRgb top, QRgb bottom, QRgb highlight) {
    const int w = image.width();
    const int h = image.height();
    for (int y = 1; y < h - 1; ++y) {
        hLine(image, 1, w - 2, y, blend(top, bottom, y - 1, h - 3));
    }
    hLine(image, 1, w - 2, 1, highlight);
    hLine(image, 1, w - 2, 0, border);
    hLine(image, 1, w - 2, h - 1, border);
    vLine(image, 0, 1, h - 2, border);
    vLine(image, w - 1, 1, h - 2, border);
}

}  // namespace kivo::skin::art
