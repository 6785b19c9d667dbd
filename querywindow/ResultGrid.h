// The grid of one result page: a read-only table over a statement's rows, with the column names
// as header and the row numbers in column 0.
#pragma once

#include "ResultGridModel.h"

#include <QTableView>

#include <memory>

class ResultGrid : public QTableView {
    Q_OBJECT
public:
    explicit ResultGrid(QWidget* parent = nullptr);

    // Shows the rows; an empty result shows the names over one empty row.
    void SetRows(std::unique_ptr<ResultRowStore> rows, int columnCount, bool emptyResult);

    ResultGridModel* Model() const { return model_; }
    // The grid's row count, the names' row included, and its column count.
    int RowCount() const { return model_ ? model_->GridRowCount() : 1; }
    int ColCount() const { return model_ ? model_->GridColCount() : 0; }
    int FixedRows() const { return 1; }
    int FixedCols() const { return fixedCols_; }

private:
    ResultGridModel* model_ = nullptr;
    int fixedCols_ = 1;
};
