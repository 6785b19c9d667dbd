#include "ResultGridModel.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

namespace {
QString Utf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
} // namespace

ResultGridModel::ResultGridModel(std::unique_ptr<ResultRowStore> rows, int columnCount, bool placeholderRow,
                                 QObject* parent)
    : QAbstractTableModel(parent), rows_(rows ? std::move(rows) : std::make_unique<ResultRowStore>()),
      columns_(columnCount < 1 ? 1 : columnCount), placeholder_(placeholderRow)
{
}

int ResultGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return placeholder_ ? 1 : static_cast<int>(rows_->RowCount());
}

int ResultGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QString ResultGridModel::Cell(int col, int row) const
{
    if (col < 0 || col >= columns_ || row < 0 || row >= GridRowCount()) return {};
    if (row == 0) {
        const auto& names = rows_->Header();
        return col >= 1 && static_cast<std::size_t>(col) <= names.size() ? Utf8(names[col - 1]) : QString();
    }
    if (placeholder_) return {};
    if (col == 0) return QString::number(row);
    return Utf8(rows_->Field(static_cast<std::size_t>(row - 1), static_cast<std::size_t>(col - 1)));
}

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
