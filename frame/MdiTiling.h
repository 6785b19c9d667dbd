// Where tiling puts the query windows: a grid over the MDI area in which windows follow each other
// down a column, then on to the next column; the last column takes what is left.
#pragma once

#include <QRect>
#include <QSize>

#include <vector>

namespace MdiTiling {

// Horizontal tiling stacks the windows (full width, one above the other); vertical tiling puts them
// side by side. With more windows both become a grid of about as many rows as columns.
std::vector<QRect> Tile(const QSize& area, int count, Qt::Orientation mode);

// A cascade as the desktop lays one out: window i one step (a title bar's height) right of and below
// window i - 1, all of one size, as large as the area holds with those steps. When that would make
// the windows smaller than half the area, the cascade starts over at the corner after as many
// places as keep them that large. The last window is the one meant to be in front.
std::vector<QRect> Cascade(const QSize& area, int count, int step);

} // namespace MdiTiling
