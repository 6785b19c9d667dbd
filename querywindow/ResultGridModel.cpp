#include "ResultGridModel.h"

#include "ResultGridSort.h"

#include <QBrush>
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
    // The rows' texts changed in place, as when a grid swaps its rows' cells.
    if (result == 0 && rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    return result;
}
