#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include "scenecontrols/thumbnailcell.h"

// The arithmetic of the frame strip: cells of one size stacked along the strip (top to bottom,
// or left to right) and centred across it. Cell i shows frame (position + i) x frames per cell.
struct CStripGeometry : CThumbnailCellGeometry {
    bool topToBottom = true;

    // Every dimension is the unscaled one times the rate, truncated.
    static CStripGeometry scaled(QSize cell, const QRect &thumbnail, float rate, bool topToBottom);

    int cellLength() const { return topToBottom ? cellHeight : cellWidth; }
    int cellBreadth() const { return topToBottom ? cellWidth : cellHeight; }
    int length(QSize client) const { return topToBottom ? client.height() : client.width(); }
    int breadth(QSize client) const { return topToBottom ? client.width() : client.height(); }
    // The rectangle of cell i in a client area of the given size.
    QRect cell(QSize client, int index) const;
};

struct CStripLayout {
    int visibleCells = 1;  // client length / cell length + 1
    int lastPosition = 0;  // the end of the scroll range along the strip, at least 0
};

// frameCount: the video's length in frames (0 without a video).
CStripLayout stripLayout(QSize client, const CStripGeometry &geometry, double frameCount,
                         int framesPerCell);

// The frame of the cell under the point, or -1: the cells are tried in order and the search
// ends at the first whose frame lies past the video's end.
double stripFrameAt(QSize client, const CStripGeometry &geometry, const CStripLayout &layout,
                    int position, int framesPerCell, double frameCount, QPoint point);
