#pragma once

#include <QRect>
#include <QSize>

// The thumbnail cell that both scene controls are made of: a skinned cell bitmap with the
// picture of a frame at a place inside it.

// rate x value, truncated: the one rounding rule of both scene controls.
int scaledByRate(int value, float rate);

// A size rate the controls take: a positive finite number. Zero or less would make every cell
// vanish and every division by a cell dimension undefined.
bool isUsableSizeRate(float rate);

// One cell at one size rate; every dimension is the unscaled one times the rate, truncated.
struct CThumbnailCellGeometry {
    int cellWidth = 0;
    int cellHeight = 0;
    QRect thumbnail;  // inside the cell

    // cell: the unscaled cell (the normal cell bitmap's size); thumbnail: the unscaled picture
    // rectangle inside it.
    static CThumbnailCellGeometry scaled(QSize cell, const QRect &thumbnail, float rate);

    bool operator==(const CThumbnailCellGeometry &) const = default;
};
