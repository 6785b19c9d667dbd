#include "MdiTiling.h"

#include <algorithm>
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

std::vector<QRect> Cascade(const QSize& area, int count, int step)
{
    std::vector<QRect> rects;
    if (count <= 0 || area.isEmpty()) return rects;
    step = std::max(step, 0);
    // Places on the diagonal that leave each window at least half the area in both directions.
    int places = count;
    if (step > 0) {
        const int room = std::min(area.width() - (area.width() + 1) / 2, area.height() - (area.height() + 1) / 2);
        places = std::clamp(room / step + 1, 1, count);
    }
    const QSize size(area.width() - (places - 1) * step, area.height() - (places - 1) * step);
    for (int i = 0; i < count; ++i) {
        const int k = i % places;
        rects.emplace_back(QPoint(k * step, k * step), size);
    }
    return rects;
}

} // namespace MdiTiling
