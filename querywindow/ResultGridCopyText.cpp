#include "ResultGridCopyText.h"

namespace {

void AppendRow(const ResultGridCells& cells, int row, int left, int right, std::string& out)
{
    for (int col = left; col <= right; ++col) {
        cells.AppendCell(col, row, out);
        if (col < right) out += '\t';
    }
}

} // namespace

std::string ResultGridCopyText(const ResultGridCells& cells, const GridRect& s, bool withHeader)
{
    std::string text;
    if (withHeader) {
        AppendRow(cells, 0, s.Left, s.Right, text);
        text += "\r\n";
    }
    for (int row = s.Top; row < s.Bottom; ++row) {
        AppendRow(cells, row, s.Left, s.Right, text);
        text += "\r\n";
    }
    AppendRow(cells, s.Bottom, s.Left, s.Right, text);
    return text;
}
