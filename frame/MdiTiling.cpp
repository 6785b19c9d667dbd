#include "MdiTiling.h"

#include <cmath>

namespace MdiTiling {

std::vector<QRect> Tile(const QSize& area, int count, Qt::Orientation mode)
{
    std::vector<QRect> rects;
    if (count <= 0 || area.isEmpty()) return rects;
    int rows = static_cast<int>(std::sqrt(static_cast<double>(count)));
    int columns = count / rows;
    if (mode == Qt::Horizontal) std::swap(rows, columns);
    const int width = area.width() / columns;
    int placed = 0;
    for (int column = 0; column < columns && placed < count; ++column) {
        // The last column takes every window left over.
        const int inColumn = column == columns - 1 ? count - placed : rows;
        const int height = area.height() / inColumn;
        // The last column and row reach the area's edge.
        const int w = column == columns - 1 ? area.width() - column * width : width;
        for (int row = 0; row < inColumn; ++row, ++placed)
            rects.emplace_back(column * width, row * height, w,
                               row == inColumn - 1 ? area.height() - row * height : height);
    }
    return rects;
}

} // namespace MdiTiling
