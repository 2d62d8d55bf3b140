#include "scenecontrols/scenetreegeometry.h"

int scaledByRate(int value, float rate) {
    return static_cast<int>(static_cast<float>(value) * rate);
}

CSceneTreeGeometry CSceneTreeGeometry::scaled(QSize cell, const QRect &thumbnail, float rate) {
    CSceneTreeGeometry g;
    g.cellWidth = scaledByRate(cell.width(), rate);
    g.cellHeight = scaledByRate(cell.height(), rate);
    g.thumbnail =
        QRect(scaledByRate(thumbnail.x(), rate), scaledByRate(thumbnail.y(), rate),
              scaledByRate(thumbnail.width(), rate), scaledByRate(thumbnail.height(), rate));
    g.indent = g.cellWidth / 2;
    g.rowPitch = g.cellHeight + kRowGap;
    g.lineX = g.cellWidth / 4;
    g.lineY = g.cellHeight / 2;
    return g;
}
