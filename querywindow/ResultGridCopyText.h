// The text that Ctrl+C puts on the clipboard from a grid's selection: the cells of each row
// joined by TAB, the rows joined by CR LF, the last row without a line end; with the names' row
// first when the column header is asked for.
#pragma once

#include "GridRect.h"
#include "ResultGridCells.h"

#include <string>

std::string ResultGridCopyText(const ResultGridCells& cells, const GridRect& selection, bool withHeader);
