// Sorting a result grid by one column, as a click on its header does: the grid's rows are put in
// a new order over the row store (no cell moves), by a quicksort whose partition steps decide
// where equal values end up, so column 0 shows the same row numbers whenever the same rows are
// sorted the same way. Each cell's key is computed once per sort: text as its GB18030 bytes,
// numbers read with "." as the decimal separator, a value wrapped in the run's text qualifier as
// the value inside.
#pragma once

#include "ResultGridCells.h"

#include <optional>
#include <string_view>

class TQryResult_Tesk;

namespace ResultGridSort {

// Both empty 0; a empty 1; b empty -1; else the GB18030 bytes of the two texts compared as
// unsigned bytes, a prefix being the smaller: -1, 0 or 1.
int CompareCellsAsText(std::string_view a, std::string_view b);

// Both empty 0; a empty 1; b empty -1; else the two numbers compared: -1, 0 or 1. Nothing when a
// text that had to be read is not a number. A value wrapped in qualifier counts as the value inside.
std::optional<int> CompareCellsAsNumbers(std::string_view a, std::string_view b, std::string_view qualifier = {});

// Sorts the grid's data rows by column col: 0, or -1 when a cell that had to be compared as a
// number is not one; the rows then keep the order they had.
int SortGridByColumn(ResultGridCells& cells, int col, bool ascending, bool numeric);

// A click on the header of column col: the result's sort state after the click, and whether the
// sort runs ascending. The first click sorts ascending, a click on the same column again turns the
// direction, a click on another column sorts that one ascending.
bool HeaderClickAscending(TQryResult_Tesk& result, int col);

} // namespace ResultGridSort
