// A result set shown as text: the line of column names, then one line per row, fields joined by
// ",". It reads the rows where the engine left them, so the text takes no room of its own.
#pragma once

#include "ResultRowStore.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <string>

class ResultTextBlock {
public:
    explicit ResultTextBlock(std::shared_ptr<const ResultRowStore> rows);

    // The names' line and one line per row.
    std::size_t LineCount() const { return 1 + rows_->RowCount(); }
    // Line i in UTF-8.
    std::string Utf8Line(std::size_t i) const;
    QString Line(std::size_t i) const;
    // The length of line i in UTF-16 units, as the line's QString has it.
    std::size_t LineLength(std::size_t i) const;
    // No line holds more bytes (and so no more UTF-16 units) than this.
    std::size_t LongestLine() const;

    const ResultRowStore& Rows() const { return *rows_; }

private:
    std::shared_ptr<const ResultRowStore> rows_;
    std::size_t headerLength_ = 0;
};
