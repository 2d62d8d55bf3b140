#include "scenecontrols/scenestriplayout.h"

#include <algorithm>
#include <cmath>

CStripGeometry CStripGeometry::scaled(QSize cell, const QRect &thumbnail, float rate,
                                      bool topToBottom) {
    CStripGeometry g;
    static_cast<CThumbnailCellGeometry &>(g) =
        CThumbnailCellGeometry::scaled(cell, thumbnail, rate);
    g.topToBottom = topToBottom;
    return g;
}

QRect CStripGeometry::cell(QSize client, int index) const {
    const int across = breadth(client) / 2 - cellBreadth() / 2;
    const int along = index * cellLength();
    return topToBottom ? QRect(across, along, cellWidth, cellHeight)
                       : QRect(along, across, cellWidth, cellHeight);
}

CStripLayout stripLayout(QSize client, const CStripGeometry &geometry, double frameCount,
                         int framesPerCell) {
    CStripLayout layout;
    if (geometry.cellLength() <= 0 || framesPerCell <= 0) {
        return layout;
    }
    layout.visibleCells = geometry.length(client) / geometry.cellLength() + 1;
    if (frameCount > 0) {
        const double cellsInAll = frameCount / framesPerCell + 2;
        const double last = std::trunc(cellsInAll - layout.visibleCells);
        layout.lastPosition = static_cast<int>(std::clamp(last, 0.0, 2.0e9));
    }
    return layout;
}

double stripFrameAt(QSize client, const CStripGeometry &geometry, const CStripLayout &layout,
                    int position, int framesPerCell, double frameCount, QPoint point) {
    for (int i = 0; i <= layout.visibleCells; ++i) {
        const double frame = static_cast<double>(position + i) * framesPerCell;
        if (frame > frameCount) {
            return -1;
        }
        if (geometry.cell(client, i).contains(point)) {
            return frame;
        }
    }
    return -1;
}
