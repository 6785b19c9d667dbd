// The grid of one result page: a read-only table over a statement's rows, with the column names
// as header and the row numbers in column 0, which cannot be selected while it is a fixed column.
// One rectangle of cells is selected at a time, or whole rows while row selection is on. The
// window that creates the grid handles its focus, double clicks, keys and mouse presses; the
// grid has no copy or select-all of its own.
#pragma once

#include "GridRect.h"
#include "ResultGridModel.h"

#include <QTableView>

class QPainter;

#include <functional>
#include <memory>
#include <string>

class ResultGrid : public QTableView {
    Q_OBJECT
public:
    explicit ResultGrid(QWidget* parent = nullptr);

    // Shows the rows; an empty result shows the names over one empty row. textQualifier: the one
    // the run wrapped character values in.
    void SetRows(std::unique_ptr<ResultRowStore> rows, int columnCount, bool emptyResult,
                 std::string textQualifier = {});

    ResultGridModel* Model() const { return model_; }
    // The grid's row count, the names' row included, and its column count.
    int RowCount() const { return model_ ? model_->GridRowCount() : 1; }
    int ColCount() const { return model_ ? model_->GridColCount() : 0; }
    int FixedRows() const { return 1; }
    int FixedCols() const { return fixedCols_; }

    // Row selection: whole rows are selected and highlighted.
    bool RowSelect() const { return selectionBehavior() == QAbstractItemView::SelectRows; }
    void SetRowSelect(bool on);
    // The current cell in grid coordinates; setting it selects it (its row with row selection).
    int Col() const;
    int Row() const;
    void SetCurrentCell(int col, int row);
    // The selected rectangle; with row selection it spans the columns from the first one after
    // the fixed ones to the last.
    GridRect Selection() const;
    void SetSelection(const GridRect& selection);

    // The cell under a point in the grid's own coordinates (the names' row at the top): row 0 for
    // the header; -1 where there is no cell. The fixed columns and rows are counted apart from the
    // scrolled ones.
    void GridCellAtPoint(int x, int y, int& row, int& col) const;
    // The first scrollable column in view, right of the fixed ones.
    int LeftCol() const;

    // The window's handlers. key: a Qt key code, set to 0 when handled; x, y: the grid's own
    // coordinates.
    std::function<void()> OnEnter;
    std::function<void()> OnExit;
    std::function<void()> OnDblClick;
    std::function<void(int& key, Qt::KeyboardModifiers shift)> OnKeyDown;
    std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)> OnMouseDown;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles = {}) override;

public:
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    class FixedColumn;
    friend class FixedColumn;

    // The rows the view is told of at a time.
    static constexpr int RowSlice = 500000;
    void ShowMoreRowsLater();
    void ShowAllRows();

    // The fixed column stays at the left: scrolled sideways by whole columns, the first scrollable
    // column in view starts right after it, and FixedColumn draws it over the cells it covers.
    int ScrollOffsetFor(int leftCol) const;
    void KeepFixedColumn();
    void PaintFixedColumn(QPainter& painter) const;
    // The grid's own coordinates of a point of the viewport or the header.
    QPoint FromViewport(const QPoint& p) const;
    QPoint FromHeader(const QPoint& p) const;
    void Select(const QModelIndex& from, const QModelIndex& to);
    // Makes cell (col, row) current and selects it, without scrolling.
    QModelIndex MakeCurrent(int col, int row);
    bool HasFixedColumn() const { return fixedCols_ > 0 && ColCount() > fixedCols_; }

    ResultGridModel* model_ = nullptr;
    int fixedCols_ = 1;
    FixedColumn* fixedColumn_ = nullptr;
    // A press the grid left to the window alone (a fixed cell, another button): its drag selects nothing.
    bool pressLeftAlone_ = false;
};
