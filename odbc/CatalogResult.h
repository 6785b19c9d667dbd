// The shared reading procedure of the catalog readers: describe, bind, fetch and format a result set.
#pragma once

#include "TColumnDescriptor.h"

#include <sql.h>

#include <functional>
#include <string>
#include <string_view>

namespace U_pub {

// Issues one catalog function on the statement and returns its return code.
using CatalogStep = std::function<SQLRETURN(SQLHSTMT)>;
// Receives field `column` (1-based) of `columnCount`; returns false to end the row early.
using FieldStep = std::function<bool(int column, int columnCount, const std::string& text)>;

// True on every return; the error text, empty after a successful reading, reports a failure.
bool ReadCatalogResult(SQLHDBC dbc, const CatalogStep& catalogStep, const FieldStep& fieldStep,
                       std::string& errorText);

// The text without leading and trailing blanks (character 32 only).
std::string TrimBlanks(std::string_view text);

struct CatalogBinding {
    SQLSMALLINT CType;
    SQLLEN Bytes;
};
// C type and buffer size of a catalog column, from its SQL type and the driver's column size.
CatalogBinding CatalogBindingFor(const TColumnDescriptor& d);
// The field text of a fetched catalog column.
std::string FormatCatalogField(const TColumnDescriptor& d);
// The display width of a catalog column: at least its name's length, at most 70, 9 for "REQUIRED".
SQLULEN CatalogDisplayWidth(const TColumnDescriptor& d);

} // namespace U_pub
