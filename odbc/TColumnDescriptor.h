// One result column as described and bound through ODBC.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <memory>
#include <optional>
#include <string>

struct TColumnDescriptor {
    std::string Name;              // whole, as the driver reports it
    SQLSMALLINT NameLength = 0;    // as the driver reports it
    SQLSMALLINT SqlType = 0;
    SQLULEN ColumnSize = 0;        // display width, adjusted by the reading
    SQLULEN DriverColumnSize = 0;  // as the driver reports it; sizes the value buffer
    SQLSMALLINT DecimalDigits = 0;
    SQLSMALLINT Nullable = 0;
    std::unique_ptr<char[]> DataBuffer;
    SQLSMALLINT CType = 0;
    SQLLEN BufferLength = 0;
    SQLLEN Indicator = 0;
    SQLULEN CharacterLimit = 0;    // a text value longer than this many characters is cut; 0: no limit
    // Bound as text for a value of another C type: the driver's text, shown as a value of that
    // type where it is exactly one. 0: the buffer holds the value under CType.
    SQLSMALLINT ValueType = 0;
    // The current row's value read again as the driver's text, after the fetch changed it to fit
    // a binding of a number, a date or a time; shown in place of the buffer's value.
    std::optional<std::string> RowText;

    bool IsNull() const { return Indicator == SQL_NULL_DATA; }
    // Binds the value buffer (zero-filled, bytes long) under cType.
    SQLRETURN Bind(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLLEN bytes);
    // The fetched value is bound as text and the driver cut it to fit the buffer.
    bool CutByBuffer() const
    {
        return CType == SQL_C_CHAR && (Indicator == SQL_NO_TOTAL || Indicator >= BufferLength);
    }
    // The fetched value is bound as bytes and the driver cut it to fit the buffer.
    bool BytesCutByBuffer() const
    {
        return CType == SQL_C_BINARY && (Indicator == SQL_NO_TOTAL || Indicator > BufferLength);
    }
    // Reads the fetched value of a column bound as text or bytes again, whole or its first maxBytes
    // bytes (0: whole), into a buffer that holds it; that buffer stays bound for the rows that
    // follow. On failure the value stays as the fetch left it.
    SQLRETURN ReadWholeText(SQLHSTMT stmt, SQLUSMALLINT column, std::size_t maxBytes);
    // Ready for the next row: no text of its own, and a text buffer that reads as empty.
    void ClearRow()
    {
        DataBuffer[0] = 0;
        RowText.reset();
    }
    // The character value as text: up to the first zero byte, never ending inside a character.
    std::string CharText() const;
};

// Reads the fetched value of a column whole (or its first maxBytes bytes, 0: whole) under cType,
// SQL_C_CHAR or SQL_C_BINARY, in pieces of at first firstPiece bytes. null tells a NULL value.
SQLRETURN GetWholeValue(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, std::size_t firstPiece,
                        std::size_t maxBytes, std::string& value, bool& null);

// Describes column j of the statement's result into d, reading the name whole.
SQLRETURN DescribeColumn(SQLHSTMT stmt, SQLUSMALLINT column, TColumnDescriptor& d);

// The ODBC 3 date and time type codes are read as their ODBC 2 codes 9, 10 and 11.
inline SQLSMALLINT Odbc2DateTimeType(SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_TYPE_DATE: return SQL_DATE;
    case SQL_TYPE_TIME: return SQL_TIME;
    case SQL_TYPE_TIMESTAMP: return SQL_TIMESTAMP;
    default: return sqlType;
    }
}
