#include "scenecontrols/scenetreelayout.h"

#include <algorithm>

#include "scenecontrols/scenetreewalk.h"

CTreeExtent shownExtent(const CSceneNode &root) {
    CTreeExtent extent;
    walkShownNodes(root, [&extent](const CSceneNode &, int level, int) {
        ++extent.rows;
        extent.depth = std::max(extent.depth, level + 1);
        return true;
    });
    return extent;
}

int rowOfFirstSelected(const CSceneNode &root) {
    int found = -1;
    int rows = 0;
    walkShownNodes(root, [&](const CSceneNode &node, int, int row) {
        rows = row + 1;
        if (node.selected()) {
            found = row;
            return false;
        }
        return true;
    });
    return found >= 0 ? found : rows;
}

QPoint rootCellPosition(const CSceneTreeGeometry &geometry, int horizontalPosition,
                        int verticalPosition) {
    return {CSceneTreeGeometry::kOrigin - horizontalPosition,
            CSceneTreeGeometry::kOrigin - verticalPosition * geometry.cellHeight};
}

QRect buttonRect(const CSceneTreeGeometry &geometry, QPoint cell, QSize button) {
    return {cell.x() - button.width() / 2 - geometry.lineX,
            cell.y() + geometry.lineY - button.height() / 2, button.width(), button.height()};
}

CTreeHit hitTestTree(CSceneNode *root, QPoint rootPosition, const CSceneTreeGeometry &geometry,
                     QSize button, QPoint point) {
    CTreeHit hit;
    if (!root) {
        return hit;
    }
    // Rows only go down; once a row's cell and button both start below the point, no later
    // row can hold it.
    const int highestReach = std::min(0, geometry.lineY - button.height() / 2);
    walkShownNodes(*root, [&](CSceneNode &node, int level, int row) {
        const QPoint cell(rootPosition.x() + level * geometry.indent,
                          rootPosition.y() + row * geometry.rowPitch);
        if (cell.y() + highestReach > point.y()) {
            return false;
        }
        if (QRect(cell, QSize(geometry.cellWidth, geometry.cellHeight)).contains(point)) {
            hit = {&node, CTreeHit::kCell};
            return false;
        }
        if (buttonRect(geometry, cell, button).contains(point)) {
            hit = {&node, CTreeHit::kButton};
            return false;
        }
        return true;
    });
    return hit;
}

CScrollState treeScrollState(QSize client, CTreeExtent extent, const CSceneTreeGeometry &geometry,
                             int horizontalPosition, int verticalPosition, bool centre,
                             int selectedRow) {
    CScrollState state;
    const int H = geometry.cellHeight;
    const int W = geometry.cellWidth;
    const int gap = CSceneTreeGeometry::kRowGap;
    const int margin = CSceneTreeGeometry::kOrigin;
    if (H <= 0 || W <= 0) {
        return state;
    }
    const int rows = extent.rows;
    const int horizontalExcess =
        (extent.depth - 1) * geometry.indent + 2 * margin + W - client.width();
    const int verticalExcess = (gap * (rows - 1) + H * rows + 2 * margin) / H - client.height() / H;
    state.verticalPage = std::max(1, client.height() / H);

    state.verticalShown = verticalExcess > 0;
    state.horizontalShown = horizontalExcess > 0;
    if (state.verticalShown) {
        state.verticalMaximum = verticalExcess + (state.horizontalShown ? 2 : 1);
        int position = verticalPosition;
        if (centre) {
            position =
                (margin + (H + gap) * selectedRow) / H - (client.height() / (H + gap)) / 2 - 1;
        }
        state.verticalPosition = std::clamp(position, 0, state.verticalMaximum);
    }
    if (state.horizontalShown) {
        state.horizontalMaximum =
            horizontalExcess + (state.verticalShown ? CSceneTreeGeometry::kScrollBarSize : 0);
        state.horizontalPosition = horizontalPosition <= 0
                                       ? state.horizontalMaximum
                                       : std::min(horizontalPosition, state.horizontalMaximum);
    }
    return state;
}
