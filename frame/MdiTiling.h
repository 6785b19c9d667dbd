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

} // namespace MdiTiling
