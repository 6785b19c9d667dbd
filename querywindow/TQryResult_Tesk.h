// The outcome of one executed statement: its rows, columns, flags, times and last sort.
#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

struct FieldsList_Tesk {
    QString Name;
    std::int32_t SqlType = 0;
    std::int32_t Numeric = 0; // 1: the column sorts as numbers
    std::int32_t DisplayWidth = 0;
};

class TQryResult_Tesk {
public:
    // columnCount result columns; entry 0 of Columns is the row-number column "serialno".
    explicit TQryResult_Tesk(std::int32_t columnCount);

    std::int32_t RowCount = 0;
    std::int32_t ColCount = 0;
    QString SortColumn;
    std::uint8_t SortAscending = 1;
    std::uint8_t HasResultSet = 0;
    std::uint8_t Cancelled = 0;
    std::uint8_t CutShort = 0;
    std::uint8_t FetchFailed = 0; // a fetch failed: the rows end at the error
    std::uint8_t Succeeded = 0;
    QDateTime StartTime;
    QDateTime EndTime;
    std::vector<FieldsList_Tesk> Columns;
};
