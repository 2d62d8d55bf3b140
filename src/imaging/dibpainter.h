#pragma once

#include <QPainter>
#include <QRect>

#include "imaging/dib.h"

// Draws the source rectangle of the picture (the whole picture without one) stretched onto the
// destination rectangle (the picture's own size at the origin without one), sampling the nearest
// pixel as a plain stretch blit does. Rectangles are in top-left coordinates; a negative width
// or height on one side mirrors the picture along that axis. Pictures of 8 bits and fewer are
// drawn through their colour table. Nothing is drawn for an empty picture.
void drawDib(QPainter &painter, const CDib &dib, const QRect *destination = nullptr,
             const QRect *source = nullptr);
