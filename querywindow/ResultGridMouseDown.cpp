#include "ResultGridMouseDown.h"

#include "ResultGrid.h"
#include "ResultGridModel.h"
#include "ResultGridSort.h"
#include "TQryResult_Tesk.h"

#include <QApplication>

void HandleResultGridMouseDown(TQryResult_Tesk& result, ResultGrid& grid, Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton) return;
    int row = -1, col = -1;
    grid.GridCellAtPoint(x, y, row, col);
    if (row < 0 || col < 0) return;
    if (row == 0) {
        ResultGridModel* model = grid.Model();
        // A click while the grid's last sort still runs is not a click on the header.
        if (static_cast<std::size_t>(col) >= result.Columns.size() || !model || model->Sorting()) return;
        const bool numeric = result.Columns[static_cast<std::size_t>(col)].Numeric != 0;
        const bool ascending = ResultGridSort::HeaderClickAscending(result, col);
        // A cell that is not a number leaves the rows as they were; nothing is said.
        if (model->rowCount() >= ResultGridModel::BackgroundSortRows) {
            model->StartSortByColumn(col, ascending, numeric);
            return;
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        model->SortByColumn(col, ascending, numeric);
        QApplication::restoreOverrideCursor();
        return;
    }
    if (col == 0) {
        grid.SetCurrentCell(grid.Col(), row);
        grid.SetRowSelect(true);
        return;
    }
    if (grid.RowSelect()) {
        grid.SetRowSelect(false);
        grid.SetCurrentCell(col, row);
    }
}
