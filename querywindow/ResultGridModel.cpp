#include "ResultGridModel.h"

#include "ResultGridSort.h"

#include <QApplication>
#include <QBrush>
#include <QPointer>
#include <QThreadPool>
#include <QGuiApplication>
#include <QPalette>

ResultGridModel::ResultGridModel(std::unique_ptr<ResultRowStore> rows, int columnCount, bool placeholderRow,
                                 QObject* parent)
    : QAbstractTableModel(parent), cells_(std::move(rows), columnCount, placeholderRow)
{
}

int ResultGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

void ResultGridModel::ShowMoreRows(int rows)
{
    const int last = cells_.DataRows() - shownRows_ > rows ? shownRows_ + rows : cells_.DataRows();
    if (last == shownRows_) return;
    beginInsertRows({}, shownRows_, last - 1);
    shownRows_ = last;
    endInsertRows();
}

int ResultGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cells_.ColCount(); }

QString ResultGridModel::Cell(int col, int row) const { return QString::fromStdString(cells_.Cell(col, row)); }

QVariant ResultGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return Cell(index.column(), index.row() + 1);
    if (role == Qt::BackgroundRole && shaded_ && index.column() == 0)
        return QGuiApplication::palette().brush(QPalette::Button);
    return {};
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return Cell(section, 0);
    return QString::number(section + 1);
}

int ResultGridModel::SortByColumn(int col, bool ascending, bool numeric)
{
    const int result = ResultGridSort::SortGridByColumn(cells_, col, ascending, numeric);
    if (result == 0) RowsReordered();
    return result;
}

void ResultGridModel::RowsReordered()
{
    // The rows' texts changed in place, as when a grid swaps its rows' cells.
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void ResultGridModel::StartSortByColumn(int col, bool ascending, bool numeric)
{
    if (sorting_) return;
    sorting_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The sort reads its own handle on the store, so a window closed meanwhile frees nothing under it.
    auto cells = std::make_shared<ResultGridCells>(cells_.Shared());
    const QPointer<ResultGridModel> model(this);
    QThreadPool::globalInstance()->start([cells, col, ascending, numeric, model] {
        const int result = ResultGridSort::SortGridByColumn(*cells, col, ascending, numeric);
        auto order = std::make_shared<std::vector<std::uint32_t>>(cells->RowOrder());
        QMetaObject::invokeMethod(
            qApp,
            [model, result, order] {
                QApplication::restoreOverrideCursor();
                if (!model) return;
                model->sorting_ = false;
                if (result == 0) {
                    model->cells_.SetRowOrder(std::move(*order));
                    model->RowsReordered();
                }
                emit model->SortFinished(result);
            },
            Qt::QueuedConnection);
    });
}
