#include "CatalogResult.h"

#include "NumberText.h"
#include "ODBCDiagnostics.h"
#include "ODBCIntf.h"
#include "Utf8Text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace U_pub {

namespace {

constexpr SQLULEN MaxBoundCharacters = 65535; // a driver reporting no or a huge size still gets a usable buffer

std::string TwoDigits(unsigned v)
{
    return v < 10 ? "0" + std::to_string(v) : std::to_string(v);
}

template <typename T>
T ValueAs(const TColumnDescriptor& d)
{
    T v{};
    std::memcpy(&v, d.DataBuffer.get(), sizeof v);
    return v;
}

// The diagnostic of a failed call; a missing entry point, which leaves no diagnostic, says so itself.
void FailureText(SQLSMALLINT handleType, SQLHANDLE handle, std::string& errorText)
{
    if (ODBCIntf::LastCallStatus() != 0) {
        ODBCIntf::GetODBCErrorText(SQL_NULL_HENV, SQL_NULL_HDBC, SQL_NULL_HSTMT, nullptr, 0, errorText);
        return;
    }
    GetDiagMessage(handleType, handle, errorText);
}

std::string LimitAndTrim(std::string text)
{
    return TrimBlanks(Utf8Text::CutToCharacters(text, 255));
}

} // namespace

std::string TrimBlanks(std::string_view text)
{
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    std::size_t e = text.find_last_not_of(' ');
    return std::string(text.substr(b, e - b + 1));
}

SQLULEN CatalogDisplayWidth(const TColumnDescriptor& d)
{
    SQLULEN w = d.DriverColumnSize;
    if (d.NameLength > 0 && static_cast<SQLULEN>(d.NameLength) > w) w = static_cast<SQLULEN>(d.NameLength);
    if (w > 70) w = 70;
    if (d.Name == "REQUIRED") w = 9;
    return w;
}

CatalogBinding CatalogBindingFor(const TColumnDescriptor& d)
{
    const SQLLEN w = static_cast<SQLLEN>(d.ColumnSize);
    SQLULEN chars = d.DriverColumnSize;
    if (chars == 0 || chars > MaxBoundCharacters) chars = MaxBoundCharacters;
    chars = std::max(chars, d.ColumnSize);
    switch (Odbc2DateTimeType(d.SqlType)) {
    case SQL_CHAR: case SQL_VARCHAR: case SQL_LONGVARCHAR:
    case SQL_WCHAR: case SQL_WVARCHAR: case SQL_WLONGVARCHAR:
        return {SQL_C_CHAR, static_cast<SQLLEN>(chars * 4 + 1)};
    case SQL_NUMERIC: case SQL_DECIMAL:
        return {SQL_C_CHAR, static_cast<SQLLEN>(chars + 4)}; // sign, point, leading zero, terminator
    case SQL_INTEGER: return {SQL_C_LONG, 4};
    case SQL_SMALLINT: return {SQL_C_SHORT, 2};
    case SQL_FLOAT: case SQL_DOUBLE: return {SQL_C_DOUBLE, 8};
    case SQL_REAL: return {SQL_C_FLOAT, 4};
    case SQL_DATE: return {SQL_C_DATE, static_cast<SQLLEN>(sizeof(DATE_STRUCT))};
    case SQL_TIME: return {SQL_C_TIME, static_cast<SQLLEN>(sizeof(TIME_STRUCT))};
    case SQL_TIMESTAMP: return {SQL_C_TIMESTAMP, static_cast<SQLLEN>(sizeof(TIMESTAMP_STRUCT))};
    case SQL_BIT: return {SQL_C_BIT, std::max<SQLLEN>(w + 1, 2)};
    case SQL_TINYINT: return {SQL_C_TINYINT, 1};
    case SQL_BIGINT: return {SQL_C_SBIGINT, 8};
    default: return {SQL_C_BINARY, w + 1}; // binary and unknown types read as "BLOB"
    }
}

std::string FormatCatalogField(const TColumnDescriptor& d)
{
    const bool null = d.IsNull();
    switch (d.CType) {
    case SQL_C_CHAR:
        return d.CharText();
    case SQL_C_LONG:
        return null ? std::string() : LimitAndTrim(NumberText::RightAligned(std::to_string(ValueAs<std::int32_t>(d)), d.ColumnSize));
    case SQL_C_SHORT:
        return null ? std::string() : LimitAndTrim(NumberText::RightAligned(std::to_string(ValueAs<std::int16_t>(d)), d.ColumnSize));
    case SQL_C_FLOAT:
        return null ? std::string() : LimitAndTrim(NumberText::Exponent(ValueAs<float>(d), static_cast<int>(d.ColumnSize)));
    case SQL_C_DOUBLE:
        return null ? std::string() : LimitAndTrim(NumberText::Exponent(ValueAs<double>(d), static_cast<int>(d.ColumnSize)));
    case SQL_C_DATE: {
        if (null) return {};
        auto v = ValueAs<DATE_STRUCT>(d);
        return std::to_string(v.year) + "-" + TwoDigits(v.month) + "-" + TwoDigits(v.day);
    }
    case SQL_C_TIME: {
        if (null) return {};
        auto v = ValueAs<TIME_STRUCT>(d);
        return TwoDigits(v.hour) + ":" + TwoDigits(v.minute) + ":" + TwoDigits(v.second);
    }
    case SQL_C_TIMESTAMP: {
        if (null) return {};
        auto v = ValueAs<TIMESTAMP_STRUCT>(d);
        std::uint32_t micro = v.fraction / 1000 + (v.fraction % 1000 >= 500 ? 1 : 0);
        micro = std::min<std::uint32_t>(micro, 999999); // rounding never adds a seventh digit
        std::string us = std::to_string(micro);
        us.insert(us.begin(), 6 - us.size(), '0');
        return std::to_string(v.year) + "-" + TwoDigits(v.month) + "-" + TwoDigits(v.day) + "-" + TwoDigits(v.hour) +
               "." + TwoDigits(v.minute) + "." + TwoDigits(v.second) + "." + us;
    }
    case SQL_C_BIT:
    case SQL_C_TINYINT:
        return null ? std::string() : std::to_string(static_cast<int>(static_cast<signed char>(d.DataBuffer[0])));
    case SQL_C_SBIGINT:
        return null ? std::string() : std::to_string(ValueAs<std::int64_t>(d));
    default:
        return "BLOB";
    }
}

bool ReadCatalogResult(SQLHDBC dbc, const CatalogStep& catalogStep, const FieldStep& fieldStep,
                       std::string& errorText)
{
    errorText.clear();
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    std::vector<TColumnDescriptor> columns;
    if (!ODBCIntf::SQLSucceeded(ODBCIntf::SQLAllocStmt(dbc, &stmt), true)) {
        // Without a statement there is nothing to read; the connection says why.
        FailureText(SQL_HANDLE_DBC, dbc, errorText);
        return true;
    }
    ODBCIntf::SQLSetStmtOption(stmt, SQL_CONCURRENCY, SQL_CONCUR_READ_ONLY);
    ODBCIntf::SQLFreeStmt(stmt, SQL_CLOSE);

    if (!ODBCIntf::SQLSucceeded(catalogStep(stmt), false)) {
        GetDiagMessage(SQL_HANDLE_STMT, stmt, errorText);
    } else {
        SQLLEN rowCount = 0;
        ODBCIntf::SQLRowCount(stmt, &rowCount);
        SQLSMALLINT n = 0;
        if (ODBCIntf::SQLSucceeded(ODBCIntf::SQLNumResultCols(stmt, &n), false) && n > 0) {
            columns.resize(static_cast<std::size_t>(n));
            for (SQLSMALLINT j = 1; j <= n; ++j) {
                TColumnDescriptor& d = columns[static_cast<std::size_t>(j - 1)];
                DescribeColumn(stmt, static_cast<SQLUSMALLINT>(j), d);
                d.ColumnSize = CatalogDisplayWidth(d);
            }
            for (SQLSMALLINT j = 1; j <= n; ++j) {
                TColumnDescriptor& d = columns[static_cast<std::size_t>(j - 1)];
                CatalogBinding b = CatalogBindingFor(d);
                d.Bind(stmt, static_cast<SQLUSMALLINT>(j), b.CType, b.Bytes);
            }
            SQLRETURN rc;
            while (ODBCIntf::SQLSucceeded(rc = ODBCIntf::SQLFetch(stmt), false)) {
                for (SQLSMALLINT j = 1; j <= n; ++j)
                    if (!fieldStep(j, n, FormatCatalogField(columns[static_cast<std::size_t>(j - 1)]))) break;
                for (auto& d : columns) d.DataBuffer[0] = 0;
            }
            // A fetch that fails is reported; the rows read so far stay with the reader.
            if (rc != SQL_NO_DATA) FailureText(SQL_HANDLE_STMT, stmt, errorText);
        }
    }

    ODBCIntf::SQLFreeStmt(stmt, SQL_RESET_PARAMS);
    ODBCIntf::SQLFreeStmt(stmt, SQL_UNBIND);
    ODBCIntf::SQLFreeStmt(stmt, SQL_DROP);
    return true;
}

} // namespace U_pub
