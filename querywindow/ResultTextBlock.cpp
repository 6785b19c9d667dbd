#include "ResultTextBlock.h"

#include <algorithm>

namespace {

// UTF-16 units of UTF-8 text: one per character, two for a character beyond the first plane.
std::size_t Utf16Length(std::string_view utf8)
{
    std::size_t n = 0;
    for (unsigned char c : utf8) n += ((c & 0xC0) != 0x80) + (c >= 0xF0);
    return n;
}

} // namespace

ResultTextBlock::ResultTextBlock(std::shared_ptr<const ResultRowStore> rows) : rows_(std::move(rows))
{
    headerLength_ = Utf16Length(Utf8Line(0));
}

std::string ResultTextBlock::Utf8Line(std::size_t i) const
{
    std::string line;
    if (i == 0) {
        const auto& header = rows_->Header();
        for (std::size_t k = 0; k < header.size(); ++k) {
            if (k) line += ',';
            line += header[k];
        }
        return line;
    }
    const std::size_t row = i - 1;
    line.reserve(rows_->RowFields(row).size() + rows_->ColumnCount());
    for (std::size_t k = 0; k < rows_->ColumnCount(); ++k) {
        if (k) line += ',';
        line += rows_->Field(row, k);
    }
    return line;
}

QString ResultTextBlock::Line(std::size_t i) const
{
    const std::string line = Utf8Line(i);
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

std::size_t ResultTextBlock::LineLength(std::size_t i) const
{
    if (i == 0) return headerLength_;
    const std::size_t columns = rows_->ColumnCount();
    return Utf16Length(rows_->RowFields(i - 1)) + (columns ? columns - 1 : 0);
}

std::size_t ResultTextBlock::LongestLine() const
{
    const std::size_t columns = rows_->ColumnCount();
    return std::max(headerLength_, rows_->LongestRow() + (columns ? columns - 1 : 0));
}
