#include "imaging/dibpainter.h"

#include <algorithm>
#include <cstdlib>

#include <QImage>
#include <QList>
#include <QTransform>

namespace {

QList<QRgb> colorTableOf(const CDib &dib) {
    QList<QRgb> table;
    for (const CPaletteEntry &entry : dib.palette()) {
        table.append(qRgb(entry.red, entry.green, entry.blue));
    }
    return table;
}

// The stored rows as an image, bottom row first. Where Qt has a matching format the image
// shares the picture's memory; otherwise the rows are converted once.
QImage storedRows(const CDib &dib) {
    const int width = dib.width();
    const int height = dib.height();
    const uchar *rows = dib.bits();
    const qsizetype stride = dib.stride();
    switch (dib.bitCount()) {
        case 24:
            return QImage(rows, width, height, stride, QImage::Format_BGR888);
        case 8: {
            QImage image(rows, width, height, stride, QImage::Format_Indexed8);
            image.setColorTable(colorTableOf(dib));
            return image;
        }
        case 1: {
            QImage image(rows, width, height, stride, QImage::Format_Mono);
            image.setColorTable(colorTableOf(dib));
            return image;
        }
        case 4: {
            QImage image(width, height, QImage::Format_Indexed8);
            image.setColorTable(colorTableOf(dib));
            for (int k = 0; k < height; ++k) {
                const uchar *row = rows + k * stride;
                uchar *out = image.scanLine(k);
                for (int x = 0; x < width; ++x) {
                    out[x] = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
                }
            }
            return image;
        }
        default: {
            // 16 bits (5-5-5 widened by shifting, as colour at reads them) and 32 bits (whose
            // fourth byte is not an alpha channel).
            QImage image(width, height, QImage::Format_RGB32);
            for (int k = 0; k < height; ++k) {
                auto *out = reinterpret_cast<QRgb *>(image.scanLine(k));
                const int y = height - 1 - k;
                for (int x = 0; x < width; ++x) {
                    out[x] = 0xFF000000u | dib.colorAt(x, y);
                }
            }
            return image;
        }
    }
}

// The pixels covered by a rectangle whose width or height may be negative.
QRect spanned(const QRect &rect) {
    const int left = std::min(rect.x(), rect.x() + rect.width());
    const int top = std::min(rect.y(), rect.y() + rect.height());
    return QRect(left, top, std::abs(rect.width()), std::abs(rect.height()));
}

}  // namespace

void drawDib(QPainter &painter, const CDib &dib, const QRect *destination, const QRect *source) {
    if (dib.isEmpty()) {
        return;
    }
    const QRect whole(0, 0, dib.width(), dib.height());
    const QRect target = destination ? *destination : whole;
    const QRect from = source ? *source : whole;
    if (target.width() == 0 || target.height() == 0 || from.width() == 0 || from.height() == 0) {
        return;
    }
    const QImage rows = storedRows(dib);
    if (rows.isNull()) {
        return;
    }

    // As with a stretch blit, a negative width or height extends the rectangle to the left or
    // upwards from its corner.
    const QRect source0 = spanned(from);
    // The source rectangle in stored-row coordinates (row 0 is the bottom row).
    const QRect stored(source0.x(), dib.height() - source0.y() - source0.height(), source0.width(),
                       source0.height());
    // Stored rows run upwards, so the picture is drawn flipped vertically; a sign difference
    // between the rectangles mirrors it once more along that axis.
    const bool mirrorX = (from.width() < 0) != (target.width() < 0);
    const bool mirrorY = (from.height() < 0) != (target.height() < 0);
    const QRectF box(spanned(target));

    QTransform flip;
    flip.translate(box.center().x(), box.center().y());
    flip.scale(mirrorX ? -1.0 : 1.0, mirrorY ? 1.0 : -1.0);
    flip.translate(-box.center().x(), -box.center().y());

    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setTransform(flip, true);
    painter.drawImage(box, rows, QRectF(stored));
    painter.restore();
}
