// Column widths of a result grid, from the result's row count and its columns' display widths
// and names.
#pragma once

#include <QString>

#include <cstdint>

namespace ResultGridGeometry {

inline constexpr int DefaultRowHeight = 18;

// The width of a text in display columns: a wide (East Asian) character counts two.
int TextDisplayColumns(const QString& text);

// Column 0 (row numbers) of a grid with gridRowCount rows, the header row included.
int RowNumberColumnWidth(int gridRowCount);

// A data column: 20 pixels per display width unit, capped at 192 or 198.4 for wide columns, but
// never narrower than its name (7.25 pixels per display column).
int DataColumnWidth(std::int32_t displayWidth, const QString& name);

} // namespace ResultGridGeometry
