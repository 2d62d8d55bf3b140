#include "scenecontrols/thumbnailcell.h"

#include <cmath>

int scaledByRate(int value, float rate) {
    return static_cast<int>(static_cast<float>(value) * rate);
}

bool isUsableSizeRate(float rate) {
    return rate > 0.0f && std::isfinite(rate);
}

CThumbnailCellGeometry CThumbnailCellGeometry::scaled(QSize cell, const QRect &thumbnail,
                                                      float rate) {
    CThumbnailCellGeometry g;
    g.cellWidth = scaledByRate(cell.width(), rate);
    g.cellHeight = scaledByRate(cell.height(), rate);
    g.thumbnail =
        QRect(scaledByRate(thumbnail.x(), rate), scaledByRate(thumbnail.y(), rate),
              scaledByRate(thumbnail.width(), rate), scaledByRate(thumbnail.height(), rate));
    return g;
}
