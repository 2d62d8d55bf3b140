#pragma once

#include <QRect>
#include <QSize>

#include "scenecontrols/thumbnailcell.h"

// Where everything of one cell goes in the scene image tree, for one size rate. Every scaled
// quantity is the product with the rate truncated to an integer, as the cells were always drawn.
struct CSceneTreeGeometry : CThumbnailCellGeometry {
    // Left and top margin of the top cell, the gap between rows and the scroll bars' thickness
    // are not scaled.
    static constexpr int kOrigin = 5;
    static constexpr int kRowGap = 10;
    static constexpr int kScrollBarSize = 16;

    int indent = 0;  // per level, half a cell
    int rowPitch = 0;
    int lineX = 0;  // how far left of a cell its connector runs down
    int lineY = 0;  // where the connector meets the cell, from its top

    // cell: the unscaled cell (the normal cell bitmap's size); thumbnail: the unscaled picture
    // rectangle inside it.
    static CSceneTreeGeometry scaled(QSize cell, const QRect &thumbnail, float rate);

    bool operator==(const CSceneTreeGeometry &) const = default;
};
