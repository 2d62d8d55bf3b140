#include "imaging/dibpainter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <random>

#include "imaging/noisepicture.h"

namespace {

constexpr QRgb kBackground = 0xFF123456;

QImage canvas(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kBackground);
    return image;
}

QImage drawn(const CDib &dib, int width, int height, const QRect *destination = nullptr,
             const QRect *source = nullptr) {
    QImage image = canvas(width, height);
    QPainter painter(&image);
    drawDib(painter, dib, destination, source);
    painter.end();
    return image;
}

// Compares the canvas with the expected colour of every pixel (background outside `area`).
template <typename Expected>
void expectPixels(const QImage &image, const QRect &area, Expected expected) {
    long wrong = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb want = area.contains(x, y)
                                  ? (0xFF000000u | expected(x - area.x(), y - area.y()))
                                  : kBackground;
            if (image.pixel(x, y) != want && ++wrong <= 3) {
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << image.pixel(x, y)
                              << " instead of " << want;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(DibPainter, WholePictureOfEveryDepthAtItsOwnSize) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(testing::Message() << bits << " bits");
        const CDib dib = noisePicture(23, 9, bits, static_cast<unsigned>(bits));
        const QImage image = drawn(dib, 30, 12);
        expectPixels(image, QRect(0, 0, 23, 9), [&](int x, int y) { return dib.colorAt(x, y); });
    }
}

TEST(DibPainter, StretchesTheSourceRectangleOntoTheDestination) {
    const CDib dib = noisePicture(8, 6, 24, 1);
    // Source 3 x 2 from (4, 1) in top-left coordinates, enlarged three times at (2, 5).
    const QRect source(4, 1, 3, 2);
    const QRect destination(2, 5, 9, 6);
    const QImage image = drawn(dib, 16, 16, &destination, &source);
    expectPixels(image, destination,
                 [&](int x, int y) { return dib.colorAt(4 + x / 3, 1 + y / 3); });

    // Destination only: the whole picture stretched.
    const QRect twice(0, 0, 16, 12);
    expectPixels(drawn(dib, 16, 12, &twice), twice,
                 [&](int x, int y) { return dib.colorAt(x / 2, y / 2); });
}

TEST(DibPainter, SignDifferencesMirror) {
    const CDib dib = noisePicture(5, 4, 8, 2);
    const QRect mirroredAcross(5, 0, -5, 4);  // from x = 5 leftwards
    const QImage across = drawn(dib, 5, 4, &mirroredAcross);
    expectPixels(across, QRect(0, 0, 5, 4), [&](int x, int y) { return dib.colorAt(4 - x, y); });

    const QRect mirroredDown(0, 4, 5, -4);
    const QImage down = drawn(dib, 5, 4, &mirroredDown);
    expectPixels(down, QRect(0, 0, 5, 4), [&](int x, int y) { return dib.colorAt(x, 3 - y); });
}

TEST(DibPainter, EmptyPicturesAndEmptyRectanglesDrawNothing) {
    const CDib empty;
    expectPixels(drawn(empty, 4, 4), QRect(), [](int, int) { return 0u; });
    const CDib dib = noisePicture(4, 4, 24, 3);
    const QRect none(0, 0, 0, 4);
    expectPixels(drawn(dib, 4, 4, &none), QRect(), [](int, int) { return 0u; });
}

}  // namespace
