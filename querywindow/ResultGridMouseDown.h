// A mouse press on a result grid: a left press on a column's header sorts the grid by that column
// (the direction follows the result's sort state), one on a row number selects that row, one on
// a data cell ends row selection there.
#pragma once

#include <Qt>

class ResultGrid;
class TQryResult_Tesk;

// x, y: the grid's own coordinates.
void HandleResultGridMouseDown(TQryResult_Tesk& result, ResultGrid& grid, Qt::MouseButton button, int x, int y);
