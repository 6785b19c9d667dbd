#include "TColumnDescriptor.h"

#include "ODBCIntf.h"
#include "Utf8Text.h"

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
