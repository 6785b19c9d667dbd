#include "TColumnDescriptor.h"

#include "ODBCIntf.h"
#include "Utf8Text.h"

#include <algorithm>
#include <cstring>
#include <vector>

SQLRETURN TColumnDescriptor::Bind(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLLEN bytes)
{
    CType = cType;
    BufferLength = bytes;
    DataBuffer = std::make_unique<char[]>(static_cast<std::size_t>(bytes));
    Indicator = 0;
    return ODBCIntf::SQLBindCol(stmt, column, cType, DataBuffer.get(), bytes, &Indicator);
}

SQLRETURN GetWholeValue(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, std::size_t firstPiece,
                        std::size_t maxBytes, std::string& value, bool& null)
{
    // A text piece ends with the driver's terminator; bytes have none.
    const std::size_t terminator = cType == SQL_C_CHAR ? 1 : 0;
    value.clear();
    null = false;
    std::size_t piece = std::max<std::size_t>(firstPiece, 2);
    std::vector<char> buffer;
    SQLLEN indicator = 0;
    for (;;) {
        if (maxBytes) piece = std::min(piece, maxBytes - value.size() + terminator);
        buffer.resize(piece);
        const SQLRETURN rc =
            ODBCIntf::SQLGetData(stmt, column, cType, buffer.data(), static_cast<SQLLEN>(piece), &indicator);
        if (rc == SQL_NO_DATA) break;
        if (!ODBCIntf::SQLSucceeded(rc, false)) return rc;
        if (indicator == SQL_NULL_DATA) {
            null = true;
            break;
        }
        const std::size_t room = piece - terminator;
        const bool more = indicator == SQL_NO_TOTAL || indicator > static_cast<SQLLEN>(room);
        value.append(buffer.data(), more ? room : static_cast<std::size_t>(indicator));
        if (!more || (maxBytes && value.size() >= maxBytes)) break;
        // The driver says how much is left, or nothing: the next piece takes it, or twice as much.
        piece = indicator == SQL_NO_TOTAL ? piece * 2 : static_cast<std::size_t>(indicator) - room + terminator;
    }
    return SQL_SUCCESS;
}

SQLRETURN TColumnDescriptor::ReadWholeText(SQLHSTMT stmt, SQLUSMALLINT column, std::size_t maxBytes)
{
    std::size_t piece = static_cast<std::size_t>(std::max<SQLLEN>(BufferLength, 64)) * 2;
    if (Indicator > 0) piece = std::max(piece, static_cast<std::size_t>(Indicator) + 1);
    std::string value;
    bool null = false;
    const SQLRETURN rc = GetWholeValue(stmt, column, CType, piece, maxBytes, value, null);
    if (!ODBCIntf::SQLSucceeded(rc, false)) return rc;
    if (null) {
        Indicator = SQL_NULL_DATA;
        return SQL_SUCCESS;
    }
    const SQLLEN bytes = std::max<SQLLEN>(BufferLength, static_cast<SQLLEN>(value.size()) + 1);
    auto larger = std::make_unique<char[]>(static_cast<std::size_t>(bytes));
    std::memcpy(larger.get(), value.data(), value.size());
    DataBuffer = std::move(larger);
    BufferLength = bytes;
    Indicator = static_cast<SQLLEN>(value.size());
    ODBCIntf::SQLBindCol(stmt, column, CType, DataBuffer.get(), BufferLength, &Indicator);
    return SQL_SUCCESS;
}

std::string TColumnDescriptor::CharText() const
{
    if (!DataBuffer || BufferLength <= 0 || IsNull()) return {};
    const char* p = DataBuffer.get();
    std::string_view v(p, strnlen(p, static_cast<std::size_t>(BufferLength)));
    // A driver that filled the buffer may have cut the last character.
    return std::string(v.substr(0, Utf8Text::CompleteLength(v)));
}

SQLRETURN DescribeColumn(SQLHSTMT stmt, SQLUSMALLINT column, TColumnDescriptor& d)
{
    std::vector<SQLCHAR> name(256);
    SQLRETURN rc = ODBCIntf::SQLDescribeCol(stmt, column, name.data(), static_cast<SQLSMALLINT>(name.size()),
                                            &d.NameLength, &d.SqlType, &d.DriverColumnSize, &d.DecimalDigits,
                                            &d.Nullable);
    if (d.NameLength >= static_cast<SQLSMALLINT>(name.size())) {
        name.assign(static_cast<std::size_t>(d.NameLength) + 1, 0);
        rc = ODBCIntf::SQLDescribeCol(stmt, column, name.data(), static_cast<SQLSMALLINT>(name.size()),
                                      &d.NameLength, &d.SqlType, &d.DriverColumnSize, &d.DecimalDigits,
                                      &d.Nullable);
    }
    name.back() = 0;
    d.Name = reinterpret_cast<const char*>(name.data());
    d.ColumnSize = d.DriverColumnSize;
    return rc;
}
