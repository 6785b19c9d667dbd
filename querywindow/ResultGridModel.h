// The cells of one result grid, read from the statement's row store: grid row 0 (the column
// names) is the horizontal header, grid column 0 the row numbers 1 to n.
#pragma once

#include "ResultRowStore.h"

#include <QAbstractTableModel>

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
    int GridRowCount() const { return rowCount() + 1; }
    int GridColCount() const { return columns_; }
    QString Cell(int col, int row) const;

    // Column 0 drawn like a header (a fixed column).
    void SetFixedColumnShaded(bool shaded) { shaded_ = shaded; }

    const ResultRowStore& Rows() const { return *rows_; }

private:
    std::unique_ptr<ResultRowStore> rows_;
    int columns_;
    bool placeholder_;
    bool shaded_ = false;
};
