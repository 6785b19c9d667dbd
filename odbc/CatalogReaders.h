// The catalog readers: a connection's objects and details as catalog item texts.
#pragma once

#include "StringList.h"
#include "TDbmsKind.h"

#include <sql.h>

#include <string>

namespace U_pub {

// Joins an object item and its detail.
inline constexpr const char* CatalogItemSeparator = "||";

// Each reader appends to its lists and returns True; the error text, empty on success, reports a failure.
bool ListTables(SQLHDBC dbc, StringList& systemTables, StringList& tables, StringList& views, StringList& aliases,
                StringList& otherTables, StringList& temporaryTables, std::string& errorText);
bool ListProcedures(SQLHDBC dbc, StringList& list, std::string& errorText);
bool ListProcedureColumns(SQLHDBC dbc, StringList& list, std::string& errorText);
bool ListTableColumns(TDbmsKind kind, SQLHDBC dbc, StringList& list, std::string& errorText);
bool ListIndexColumns(SQLHDBC dbc, const std::string& catalog, const std::string& schema, const std::string& table,
                      StringList& list, std::string& errorText);
bool ListPrimaryKeyColumns(SQLHDBC dbc, const std::string& catalog, const std::string& schema,
                           const std::string& table, StringList& list, std::string& errorText);

// Which of the six table lists a TABLE_TYPE text belongs to.
enum class TableListKind { System, Table, View, Alias, Temporary, Other };
TableListKind ClassifyTableType(const std::string& tableType);

// schema + "." + name, or the name alone without a schema.
std::string ObjectName(const std::string& schema, const std::string& name);

struct ColumnTypeFields {
    std::string TypeName, Precision, Length, Scale, Nullable;
};
// The parenthesised type description of a column: "(varchar(30), Null)".
std::string TableColumnDetail(TDbmsKind kind, const ColumnTypeFields& f);
// The type part of a procedure parameter: "int, Null" and the like, after the direction word.
std::string ProcedureColumnDetail(const ColumnTypeFields& f);
const char* ProcedureColumnDirection(const std::string& columnType);

} // namespace U_pub
