#include "ResultGridCells.h"

#include <charconv>
#include <numeric>

ResultGridCells::ResultGridCells(std::unique_ptr<ResultRowStore> rows, int columnCount, bool placeholderRow)
    : rows_(rows ? std::shared_ptr<const ResultRowStore>(std::move(rows)) : std::make_shared<const ResultRowStore>()), columns_(columnCount < 1 ? 1 : columnCount),
      placeholder_(placeholderRow)
{
}

std::string_view ResultGridCells::Unqualified(std::string_view cell, std::string_view qualifier)
{
    if (!qualifier.empty() && cell.size() >= 2 * qualifier.size() && cell.substr(0, qualifier.size()) == qualifier &&
        cell.substr(cell.size() - qualifier.size()) == qualifier)
        return cell.substr(qualifier.size(), cell.size() - 2 * qualifier.size());
    return cell;
}

int ResultGridCells::DataRows() const { return placeholder_ ? 1 : static_cast<int>(rows_->RowCount()); }

std::size_t ResultGridCells::StoreRow(int row) const
{
    const auto i = static_cast<std::size_t>(row - 1);
    return order_.empty() ? i : order_[i];
}

void ResultGridCells::AppendStoreCell(int col, std::size_t storeRow, std::string& out) const
{
    if (col == 0) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, storeRow + 1).ptr;
        out.append(digits, end);
        return;
    }
    out += rows_->Field(storeRow, static_cast<std::size_t>(col - 1));
}

void ResultGridCells::AppendCell(int col, int row, std::string& out) const
{
    if (col < 0 || col >= columns_ || row < 0 || row >= RowCount()) return;
    if (row == 0) {
        const auto& names = rows_->Header();
        if (col >= 1 && static_cast<std::size_t>(col) <= names.size()) out += names[static_cast<std::size_t>(col - 1)];
        return;
    }
    if (placeholder_) return;
    AppendStoreCell(col, StoreRow(row), out);
}

std::string ResultGridCells::Cell(int col, int row) const
{
    std::string text;
    AppendCell(col, row, text);
    return text;
}

std::vector<std::uint32_t> ResultGridCells::RowOrder() const
{
    if (!order_.empty() || placeholder_) return order_;
    std::vector<std::uint32_t> fetched(rows_->RowCount());
    std::iota(fetched.begin(), fetched.end(), 0u);
    return fetched;
}

void ResultGridCells::SetRowOrder(std::vector<std::uint32_t> order)
{
    if (!placeholder_ && order.size() == rows_->RowCount()) order_ = std::move(order);
}
