// The cells of one result grid, read from the statement's row store: grid row 0 (the column
// names) is the horizontal header, grid column 0 the row numbers 1 to n.
#pragma once

#include "ResultGridCells.h"

#include <QAbstractTableModel>

#include <algorithm>
#include <memory>

class ResultGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // columnCount grid columns (the row-number column included). With placeholderRow the grid
    // shows one empty data row instead of the store's rows.
    ResultGridModel(std::unique_ptr<ResultRowStore> rows, int columnCount, bool placeholderRow,
                    QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The grid's own coordinates: column 0 the row numbers, row 0 the names.
    int GridRowCount() const { return cells_.RowCount(); }
    int GridColCount() const { return cells_.ColCount(); }
    QString Cell(int col, int row) const;

    // The data rows the views are told of: all of them unless LimitShownRows held some back, which
    // ShowMoreRows then adds at the end. Cells, sort and export always cover every row.
    void LimitShownRows(int rows) { shownRows_ = std::min(rows, cells_.DataRows()); }
    bool AllRowsShown() const { return shownRows_ == cells_.DataRows(); }
    void ShowMoreRows(int rows);

    // Column 0 drawn like a header (a fixed column).
    void SetFixedColumnShaded(bool shaded) { shaded_ = shaded; }

    const ResultRowStore& Rows() const { return cells_.Rows(); }
    const ResultGridCells& Cells() const { return cells_; }
    void SetTextQualifier(std::string qualifier) { cells_.SetTextQualifier(std::move(qualifier)); }

    // Sorts the data rows by a column (ResultGridSort); the cells at every place show their new
    // row, the selection stays where it is. 0, or -1 with the order unchanged.
    int SortByColumn(int col, bool ascending, bool numeric);

    // The same sort away from the window's thread, for a grid large enough that the window would
    // stop answering while it runs: the wait cursor shows until the new order is in place.
    // SortFinished reports it (0, or -1 with the order unchanged). Nothing starts while one runs.
    void StartSortByColumn(int col, bool ascending, bool numeric);
    bool Sorting() const { return sorting_; }

    // Grids of at least this many rows are sorted away from the window's thread.
    static constexpr int BackgroundSortRows = 100000;

signals:
    void SortFinished(int result);

private:
    void RowsReordered();

    ResultGridCells cells_;
    bool sorting_ = false;
    bool shaded_ = false;
    int shownRows_ = cells_.DataRows();
};
