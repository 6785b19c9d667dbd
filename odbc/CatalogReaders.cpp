#include "CatalogReaders.h"

#include "CatalogResult.h"
#include "ODBCIntf.h"

#include <sqlext.h>

#include <cctype>
#include <charconv>

namespace U_pub {

namespace {

std::string AsciiUpper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string AsciiLower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }
bool StartsWith(const std::string& s, const char* part) { return s.rfind(part, 0) == 0; }

std::string NullText(const std::string& nullable) { return nullable == "0" ? "Not Null" : "Null"; }

enum class TypeClass { Numeric, Character, Other };

TypeClass ClassOf(const std::string& lowerType, bool textIsCharacter)
{
    if (Contains(lowerType, "numeric") || Contains(lowerType, "decimal")) return TypeClass::Numeric;
    for (const char* c : {"char", "blob", "clob", "binary", "graphic"})
        if (Contains(lowerType, c)) return TypeClass::Character;
    if (textIsCharacter && Contains(lowerType, "text")) return TypeClass::Character;
    return TypeClass::Other;
}

// A type name that already ends in its size, as "varchar(40)" or "decimal(10,2)".
bool CarriesItsSize(const std::string& typeName)
{
    return !typeName.empty() && typeName.back() == ')' && typeName.find('(') != std::string::npos;
}

std::string Detail(TypeClass c, const ColumnTypeFields& f, const std::string& length)
{
    // The driver's own size stands; a second one from the length fields would repeat or contradict it.
    if (CarriesItsSize(f.TypeName)) c = TypeClass::Other;
    switch (c) {
    case TypeClass::Numeric: return "(" + f.Precision + "," + f.Scale + "), " + NullText(f.Nullable);
    case TypeClass::Character: return "(" + length + "), " + NullText(f.Nullable);
    default: return ", " + NullText(f.Nullable);
    }
}

// The catalog, schema and table arguments of the per-table readers, as the three forms want them.
struct TableArguments {
    SQLCHAR* catalog = nullptr;
    SQLCHAR* schema = nullptr;
    SQLCHAR* table = nullptr;
    TableArguments(const std::string& c, const std::string& s, const std::string& t)
    {
        table = Text(t);
        if (!c.empty()) {
            catalog = Text(c);
            schema = Text(s);
        } else if (!s.empty()) {
            schema = Text(s);
        }
    }
    static SQLCHAR* Text(const std::string& s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str())); }
    SQLSMALLINT Length(SQLCHAR* p) const { return p ? SQL_NTS : 0; }
};

} // namespace

std::string ObjectName(const std::string& schema, const std::string& name)
{
    return schema.empty() ? name : schema + "." + name;
}

TableListKind ClassifyTableType(const std::string& tableType)
{
    const std::string t = AsciiUpper(tableType);
    if (StartsWith(t, "SYSTEM TABLE")) return TableListKind::System;
    if (StartsWith(t, "TABLE")) return TableListKind::Table;
    if (Contains(t, "VIEW")) return TableListKind::View;
    if (StartsWith(t, "ALIAS")) return TableListKind::Alias;
    if (StartsWith(t, "GLOBAL TEMPORARY") || Contains(t, "TEMPORARY")) return TableListKind::Temporary;
    return TableListKind::Other;
}

std::string TableColumnDetail(TDbmsKind kind, const ColumnTypeFields& f)
{
    const std::string lower = AsciiLower(f.TypeName);
    TypeClass c = ClassOf(lower, false);
    if (kind == DbmsKind::Paradox && StartsWith(lower, "alphanumeric")) c = TypeClass::Character;
    std::string length = f.Length;
    if (kind == DbmsKind::MicrosoftSqlServer && (Contains(lower, "nchar") || Contains(lower, "nvarchar"))) {
        // The driver counts bytes of a national character column; show characters. A length that
        // is no number stays as the driver gave it.
        long long v = 0;
        auto r = std::from_chars(length.data(), length.data() + length.size(), v);
        if (r.ec == std::errc() && r.ptr == length.data() + length.size()) length = std::to_string(v / 2);
    }
    return "(" + f.TypeName + Detail(c, f, length) + ")";
}

std::string ProcedureColumnDetail(const ColumnTypeFields& f)
{
    return f.TypeName + Detail(ClassOf(AsciiLower(f.TypeName), true), f, f.Length);
}

const char* ProcedureColumnDirection(const std::string& columnType)
{
    if (columnType == "1") return "IN";
    if (columnType == "2") return "INOUT";
    if (columnType == "3") return "RESULT_COL";
    if (columnType == "4") return "OUT";
    if (columnType == "5") return "RETURN_VALUE";
    return "";
}

bool ListTables(SQLHDBC dbc, StringList& systemTables, StringList& tables, StringList& views, StringList& aliases,
                StringList& otherTables, StringList& temporaryTables, std::string& errorText)
{
    std::string schema, name;
    ReadCatalogResult(
        dbc,
        [](SQLHSTMT s) { return ODBCIntf::SQLTables(s, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0); },
        [&](int column, int, const std::string& text) {
            if (column == 2) schema = text;
            else if (column == 3) name = text;
            else if (column == 4) {
                std::string item = ObjectName(schema, name);
                switch (ClassifyTableType(text)) {
                case TableListKind::System: systemTables.push_back(item); break;
                case TableListKind::Table: tables.push_back(item); break;
                case TableListKind::View: views.push_back(item); break;
                case TableListKind::Alias: aliases.push_back(item); break;
                case TableListKind::Temporary: temporaryTables.push_back(item); break;
                case TableListKind::Other: otherTables.push_back(item); break;
                }
            }
            return true;
        },
        errorText);
    for (StringList* l : {&systemTables, &tables, &views, &aliases, &otherTables, &temporaryTables}) SortStringList(*l);
    return true;
}

bool ListProcedures(SQLHDBC dbc, StringList& list, std::string& errorText)
{
    std::string schema, name;
    ReadCatalogResult(
        dbc, [](SQLHSTMT s) { return ODBCIntf::SQLProcedures(s, nullptr, 0, nullptr, 0, nullptr, 0); },
        [&](int column, int count, const std::string& text) {
            if (column == 2) schema = text;
            else if (column == 3) name = text;
            if (column == count) list.push_back(ObjectName(schema, name));
            return true;
        },
        errorText);
    SortStringList(list);
    return true;
}

bool ListProcedureColumns(SQLHDBC dbc, StringList& list, std::string& errorText)
{
    std::string schema, procedure, column, direction, ordinal;
    ColumnTypeFields f;
    ReadCatalogResult(
        dbc,
        [](SQLHSTMT s) {
            return ODBCIntf::SQLProcedureColumns(s, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0);
        },
        [&](int j, int count, const std::string& text) {
            if (j == 1) ordinal.clear();
            switch (j) {
            case 2: schema = text; break;
            case 3: procedure = text; break;
            case 4: column = text; break;
            case 5: direction = ProcedureColumnDirection(text); break;
            case 7: f.TypeName = text; break;
            case 8: f.Precision = text; break;
            case 9: f.Length = text; break;
            case 10: f.Scale = text; break;
            case 12: f.Nullable = text; break;
            case 18: ordinal = text; break;
            default: break;
            }
            if (j == count)
                list.push_back(ObjectName(schema, procedure) + CatalogItemSeparator + ordinal + " " + column + " (" +
                               direction + " " + ProcedureColumnDetail(f) + ")");
            return true;
        },
        errorText);
    return true;
}

bool ListTableColumns(TDbmsKind kind, SQLHDBC dbc, StringList& list, std::string& errorText)
{
    std::string schema, table, column;
    ColumnTypeFields f;
    ReadCatalogResult(
        dbc,
        [](SQLHSTMT s) { return ODBCIntf::SQLColumns(s, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0); },
        [&](int j, int count, const std::string& text) {
            switch (j) {
            case 2: schema = text; break;
            case 3: table = text; break;
            case 4: column = text; break;
            case 6: f.TypeName = text; break;
            case 7: f.Precision = text; break;
            case 8: f.Length = text; break;
            case 9: f.Scale = text; break;
            case 11: f.Nullable = text; break;
            default: break;
            }
            if (j == count)
                list.push_back(ObjectName(schema, table) + CatalogItemSeparator + column + " " +
                               TableColumnDetail(kind, f));
            return true;
        },
        errorText);
    return true;
}

bool ListIndexColumns(SQLHDBC dbc, const std::string& catalog, const std::string& schema, const std::string& table,
                      StringList& list, std::string& errorText)
{
    TableArguments a(catalog, schema, table);
    std::string index, ordinal, column, order;
    ReadCatalogResult(
        dbc,
        [&](SQLHSTMT s) {
            return ODBCIntf::SQLStatistics(s, a.catalog, a.Length(a.catalog), a.schema, a.Length(a.schema), a.table,
                                           SQL_NTS, SQL_INDEX_ALL, SQL_QUICK);
        },
        [&](int j, int count, const std::string& text) {
            switch (j) {
            case 6: index = text; break;
            case 8: ordinal = text; break;
            case 9: column = text; break;
            case 10:
                order = text == "A" ? "ASC" : "DEC";
                if (index.empty() || column.empty()) return false; // the table-statistics row has no index
                break;
            default: break;
            }
            if (j == count) list.push_back(index + CatalogItemSeparator + ordinal + "  " + column + ", " + order);
            return true;
        },
        errorText);
    return true;
}

bool ListPrimaryKeyColumns(SQLHDBC dbc, const std::string& catalog, const std::string& schema,
                           const std::string& table, StringList& list, std::string& errorText)
{
    TableArguments a(catalog, schema, table);
    std::string column;
    ReadCatalogResult(
        dbc,
        [&](SQLHSTMT s) {
            return ODBCIntf::SQLPrimaryKeys(s, a.catalog, a.Length(a.catalog), a.schema, a.Length(a.schema), a.table,
                                            SQL_NTS);
        },
        [&](int j, int count, const std::string& text) {
            if (j == 4) column = text;
            if (j == count) list.push_back(column);
            return true;
        },
        errorText);
    SortStringList(list);
    return true;
}

} // namespace U_pub
