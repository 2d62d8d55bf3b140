#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include "scene/videodescription.h"
#include "scenecontrols/scenetreegeometry.h"

// The arithmetic of the scene image tree: where cells are, what a point hits, and how the scroll
// bars are set. No painting and no widgets, so all of it is testable on its own.

// Rows shown (cells in display order) and levels shown (1 for the root alone).
struct CTreeExtent {
    int rows = 0;
    int depth = 0;
};
CTreeExtent shownExtent(const CSceneNode &root);

// The display row of the first node (in display order) whose selected flag is set; the number
// of shown rows when no shown node is selected.
int rowOfFirstSelected(const CSceneNode &root);

// Top-left corner of the root's cell for the scroll positions (pixels across, cell heights down).
QPoint rootCellPosition(const CSceneTreeGeometry &geometry, int horizontalPosition,
                        int verticalPosition);

// The rectangle of an expand button for a cell at the given top-left corner.
QRect buttonRect(const CSceneTreeGeometry &geometry, QPoint cell, QSize button);

struct CTreeHit {
    enum Part { kNothing, kCell, kButton };
    CSceneNode *node = nullptr;
    Part part = kNothing;
};

// Walks the shown nodes from the root's cell position; for each node its cell first, then its
// button rectangle (whether or not it has children).
CTreeHit hitTestTree(CSceneNode *root, QPoint rootPosition, const CSceneTreeGeometry &geometry,
                     QSize button, QPoint point);

// How the two scroll bars stand after a relayout.
struct CScrollState {
    bool horizontalShown = false;
    bool verticalShown = false;
    int horizontalMaximum = 0;  // the range runs from 0
    int verticalMaximum = 0;
    int horizontalPosition = 0;
    int verticalPosition = 0;
    int verticalPage = 1;  // visible rows

    bool operator==(const CScrollState &) const = default;
};

// The relayout rule for a client area, the rows and levels shown and the positions before.
// With centring the vertical position moves so that selectedRow sits about in the middle.
CScrollState treeScrollState(QSize client, CTreeExtent extent, const CSceneTreeGeometry &geometry,
                             int horizontalPosition, int verticalPosition, bool centre,
                             int selectedRow);
