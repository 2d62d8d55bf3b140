#include "scenecontrols/scenetreegeometry.h"

CSceneTreeGeometry CSceneTreeGeometry::scaled(QSize cell, const QRect &thumbnail, float rate) {
    CSceneTreeGeometry g;
    static_cast<CThumbnailCellGeometry &>(g) =
        CThumbnailCellGeometry::scaled(cell, thumbnail, rate);
    g.indent = g.cellWidth / 2;
    g.rowPitch = g.cellHeight + kRowGap;
    g.lineX = g.cellWidth / 4;
    g.lineY = g.cellHeight / 2;
    return g;
}
