#pragma once

#include <QRect>
#include <QSize>

// Where the logo goes in a window without video: centred; in a dimension where the picture is
// larger than the window minus 10 pixels it starts 5 pixels from the edge and is squeezed to
// the window minus 10. An empty rectangle when nothing can be drawn.
QRect logoRect(QSize client, QSize logo);
