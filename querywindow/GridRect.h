// A rectangle of grid cells in the grid's own coordinates (row 0 the names, column 0 the row
// numbers), both corners included.
#pragma once

struct GridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool operator==(const GridRect&) const = default;
};
