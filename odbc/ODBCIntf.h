// Run-time binding of the ODBC driver manager: one entry-point table, one wrapper per ODBC function.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <array>
#include <cstdint>
#include <string>

namespace ODBCIntf {

constexpr int EntrySlotCount = 60;     // slot 0 is the library handle
constexpr int FunctionIndexCount = 76; // indexes 0 to 75
constexpr const char* DefaultLibraryName = "libodbc.so.2";

// The names resolved into slots 1 to 59 (index 0 unused).
extern const char* const ODBCEntryNames[EntrySlotCount];

// Per-thread report of the last wrapper call: 0 when its entry point existed, -1 when not.
int LastCallStatus();
const std::string& LastCallName();
void ResetLastCall();

bool LoadODBC(const char* libraryName);
void UnloadODBC();
bool IsLoaded();

// The published binding's tables: the entry-point table (slot 0 the library handle, slots 1 to 59
// the entry points) and the three arrays of the API-id index (indexes 0 to 75).
void* ODBCEntryTable(int slot);
std::uint16_t ODBCFunctionIds(int index);
void* ODBCFunctionEntries(int index);
bool ODBCFunctionPresent(int index);

bool SQLSucceeded(SQLRETURN rc, bool strict);
std::uint8_t ODBCFunctionIndex(std::uint16_t apiId);

using SupportedFunctionFlags = std::array<bool, FunctionIndexCount>;
void GetSupportedFunctions(SQLHDBC connection, SupportedFunctionFlags& flags);

// The error text of a wrapper that found no entry point: "(-1)", line break, the function's name,
// " is not implemented !", line break.
std::string NotImplementedText(int lastCallStatus, const std::string& lastCallName);

// Collects every pending SQLError message of the handles, each framed by a carriage return;
// reports a missing entry point instead when the last wrapper on this thread found none.
void GetODBCErrorText(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, char* buffer, std::uint16_t bufferLength,
                      std::string& text);

SQLRETURN SQLAllocConnect(SQLHENV env, SQLHDBC* dbc);
SQLRETURN SQLAllocEnv(SQLHENV* env);
SQLRETURN SQLAllocStmt(SQLHDBC dbc, SQLHSTMT* stmt);
SQLRETURN SQLBindCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER value, SQLLEN bufferLength,
                     SQLLEN* indicator);
SQLRETURN SQLCancel(SQLHSTMT stmt);
SQLRETURN SQLConnect(SQLHDBC dbc, SQLCHAR* dsn, SQLSMALLINT dsnLength, SQLCHAR* user, SQLSMALLINT userLength,
                     SQLCHAR* password, SQLSMALLINT passwordLength);
SQLRETURN SQLDescribeCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLCHAR* name, SQLSMALLINT bufferLength,
                         SQLSMALLINT* nameLength, SQLSMALLINT* sqlType, SQLULEN* columnSize,
                         SQLSMALLINT* decimalDigits, SQLSMALLINT* nullable);
SQLRETURN SQLDisconnect(SQLHDBC dbc);
SQLRETURN SQLError(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLCHAR* sqlState, SQLINTEGER* nativeError,
                   SQLCHAR* message, SQLSMALLINT bufferLength, SQLSMALLINT* messageLength);
SQLRETURN SQLExecDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER textLength);
SQLRETURN SQLExecute(SQLHSTMT stmt);
SQLRETURN SQLFetch(SQLHSTMT stmt);
SQLRETURN SQLFreeConnect(SQLHDBC dbc);
SQLRETURN SQLFreeEnv(SQLHENV env);
SQLRETURN SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option);
SQLRETURN SQLGetData(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER value, SQLLEN bufferLength,
                     SQLLEN* indicator);
SQLRETURN SQLNumResultCols(SQLHSTMT stmt, SQLSMALLINT* columnCount);
SQLRETURN SQLPrepare(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER textLength);
SQLRETURN SQLRowCount(SQLHSTMT stmt, SQLLEN* rowCount);
SQLRETURN SQLColumns(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                     SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength, SQLCHAR* column,
                     SQLSMALLINT columnLength);
SQLRETURN SQLGetFunctions(SQLHDBC dbc, SQLUSMALLINT functionId, SQLUSMALLINT* supported);
SQLRETURN SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT infoType, SQLPOINTER value, SQLSMALLINT bufferLength,
                     SQLSMALLINT* length);
SQLRETURN SQLSetConnectOption(SQLHDBC dbc, SQLUSMALLINT option, SQLULEN value);
SQLRETURN SQLSetStmtOption(SQLHSTMT stmt, SQLUSMALLINT option, SQLULEN value);
SQLRETURN SQLStatistics(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                        SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength, SQLUSMALLINT unique,
                        SQLUSMALLINT reserved);
SQLRETURN SQLTables(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                    SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength, SQLCHAR* type,
                    SQLSMALLINT typeLength);
SQLRETURN SQLDataSources(SQLHENV env, SQLUSMALLINT direction, SQLCHAR* name, SQLSMALLINT nameBufferLength,
                         SQLSMALLINT* nameLength, SQLCHAR* description, SQLSMALLINT descriptionBufferLength,
                         SQLSMALLINT* descriptionLength);
SQLRETURN SQLPrimaryKeys(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                         SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength);
SQLRETURN SQLProcedureColumns(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                              SQLSMALLINT schemaLength, SQLCHAR* procedure, SQLSMALLINT procedureLength,
                              SQLCHAR* column, SQLSMALLINT columnLength);
SQLRETURN SQLProcedures(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                        SQLSMALLINT schemaLength, SQLCHAR* procedure, SQLSMALLINT procedureLength);
// The value is handed on as the value itself, as the ODBC standard expects for integer attributes.
SQLRETURN SQLSetConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLINTEGER value, SQLINTEGER stringLength);
SQLRETURN SQLSetEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLINTEGER value, SQLINTEGER stringLength);

} // namespace ODBCIntf
