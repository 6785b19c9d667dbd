// The cells of one result grid in the grid's own coordinates: row 0 holds the column names,
// column 0 each data row's number (its place as fetched), and the data rows stand in the grid's
// present order over the statement's row store. No cell is ever copied out of the store.
#pragma once

#include "ResultRowStore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ResultGridCells {
public:
    ResultGridCells(ResultGridCells&&) = default;
    ResultGridCells& operator=(ResultGridCells&&) = default;
    // columnCount grid columns, the row-number column included. With placeholderRow the grid
    // shows one empty data row instead of the store's rows (an empty result).
    ResultGridCells(std::unique_ptr<ResultRowStore> rows, int columnCount, bool placeholderRow);

    // Rows with the names' row, and columns with the row numbers.
    int RowCount() const { return DataRows() + 1; }
    int ColCount() const { return columns_; }
    int DataRows() const;
    bool Placeholder() const { return placeholder_; }

    // The store row that grid row row (1 to the last) shows.
    std::size_t StoreRow(int row) const;
    // The text of column col of a store row: the row number in column 0, the value elsewhere.
    void AppendStoreCell(int col, std::size_t storeRow, std::string& out) const;
    // The text of cell (col, row), appended; nothing outside the grid.
    void AppendCell(int col, int row, std::string& out) const;
    std::string Cell(int col, int row) const;

    // The store row of every data row, top to bottom (empty: the order as fetched).
    std::vector<std::uint32_t> RowOrder() const;
    void SetRowOrder(std::vector<std::uint32_t> order);

    // The value inside a cell that the run wrapped in qualifier; any other cell as it is.
    static std::string_view Unqualified(std::string_view cell, std::string_view qualifier);

    // The text qualifier that the run wrapped character values in (empty: none).
    const std::string& TextQualifier() const { return qualifier_; }
    void SetTextQualifier(std::string qualifier) { qualifier_ = std::move(qualifier); }

    const ResultRowStore& Rows() const { return *rows_; }

    // The same cells over the same store, which stays alive while either holds it: a sort away
    // from the window reads a copy that the window's grid may outlive or not.
    ResultGridCells Shared() const { return *this; }

private:
    ResultGridCells(const ResultGridCells&) = default;

    std::shared_ptr<const ResultRowStore> rows_;
    int columns_;
    bool placeholder_;
    std::vector<std::uint32_t> order_;
    std::string qualifier_;
};
