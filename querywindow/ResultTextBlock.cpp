#include "ResultTextBlock.h"

#include "ResultRowStore.h"

#include <string>

QString ResultTextBlock(const ResultRowStore& rows)
{
    std::string text;
    text.reserve(rows.BytesUsed() + rows.RowCount() * (rows.ColumnCount() + 1) + 64);
    const auto& header = rows.Header();
    for (std::size_t k = 0; k < header.size(); ++k) {
        if (k) text += ',';
        text += header[k];
    }
    for (std::size_t r = 0; r < rows.RowCount(); ++r) {
        text += '\n';
        for (std::size_t k = 0; k < rows.ColumnCount(); ++k) {
            if (k) text += ',';
            text += rows.Field(r, k);
        }
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
