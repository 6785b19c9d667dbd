#include "ODBCIntf.h"

#include "ODBCDebug.h"
#include "Utf8Text.h"

#include <dlfcn.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace ODBCIntf {

const char* const ODBCEntryNames[EntrySlotCount] = {
    nullptr,
    "SQLAllocConnect", "SQLAllocEnv", "SQLAllocStmt", "SQLBindCol", "SQLCancel",
    "SQLColAttributes", "SQLConnect", "SQLDescribeCol", "SQLDisconnect", "SQLError",
    "SQLExecDirect", "SQLExecute", "SQLFetch", "SQLFreeConnect", "SQLFreeEnv",
    "SQLFreeStmt", "SQLGetCursorName", "SQLNumResultCols", "SQLPrepare", "SQLRowCount",
    "SQLSetCursorName", "SQLSetParam", "SQLTransact", "SQLColumns", "SQLDriverConnect",
    "SQLGetConnectOption", "SQLGetData", "SQLGetFunctions", "SQLGetInfo", "SQLGetStmtOption",
    "SQLGetTypeInfo", "SQLParamData", "SQLPutData", "SQLSetConnectOption", "SQLSetStmtOption",
    "SQLSpecialColumns", "SQLStatistics", "SQLTables", "SQLBrowseConnect", "SQLColumnPrivileges",
    "SQLDataSources", "SQLDescribeParam", "SQLExtendedFetch", "SQLForeignKeys", "SQLMoreResults",
    "SQLNativeSql", "SQLNumParams", "SQLParamOptions", "SQLPrimaryKeys", "SQLProcedureColumns",
    "SQLProcedures", "SQLSetPos", "SQLSetScrollOptions", "SQLTablePrivileges", "SQLDrivers",
    "SQLBindParameter", "SQLOpenTable", "SQLSetConnectAttr", "SQLSetEnvAttr",
};

namespace {

// One complete binding. A published binding is never changed or freed while the process runs,
// so a wrapper on another thread that has read the pointer can always finish its call.
struct Binding {
    void* ODBCEntryTable[EntrySlotCount] = {};   // slot 0: the library handle
    std::uint16_t ODBCFunctionIds[FunctionIndexCount] = {};
    void* ODBCFunctionEntries[FunctionIndexCount] = {};
    bool ODBCFunctionPresent[FunctionIndexCount] = {};
};

std::atomic<const Binding*> g_binding{nullptr};
std::mutex g_loadMutex;
std::vector<std::unique_ptr<Binding>> g_retired; // kept alive for wrappers still inside a call

thread_local int t_lastCallStatus = 0;
thread_local std::string t_lastCallName;

int IndexOfSlot(int slot)
{
    if (slot >= 1 && slot <= 23) return slot;
    if (slot >= 24 && slot <= 57) return slot + 16;
    if (slot == 58) return 74;
    if (slot == 59) return 75;
    return -1;
}

std::unique_ptr<Binding> Resolve(void* library)
{
    auto b = std::make_unique<Binding>();
    b->ODBCEntryTable[0] = library;
    for (int i = 1; i <= 23; ++i) b->ODBCFunctionIds[i] = static_cast<std::uint16_t>(i);
    for (int i = 40; i <= 73; ++i) b->ODBCFunctionIds[i] = static_cast<std::uint16_t>(i);
    b->ODBCFunctionIds[74] = SQL_API_SQLSETCONNECTATTR;
    b->ODBCFunctionIds[75] = SQL_API_SQLSETENVATTR;
    for (int slot = 1; slot < EntrySlotCount; ++slot) {
        b->ODBCEntryTable[slot] = dlsym(library, ODBCEntryNames[slot]);
        b->ODBCFunctionEntries[IndexOfSlot(slot)] = b->ODBCEntryTable[slot];
    }
    for (int i = 0; i < FunctionIndexCount; ++i) {
        b->ODBCFunctionPresent[i] = b->ODBCFunctionEntries[i] != nullptr;
        if (!b->ODBCFunctionPresent[i]) b->ODBCFunctionIds[i] = 0;
    }
    return b;
}

bool AnyPresent(const Binding& b)
{
    for (bool p : b.ODBCFunctionPresent)
        if (p) return true;
    return false;
}

// Publishes a binding and keeps the one it replaces alive; the caller holds g_loadMutex.
void Publish(std::unique_ptr<Binding> next)
{
    const Binding* old = g_binding.exchange(next.get(), std::memory_order_acq_rel);
    if (next) g_retired.push_back(std::move(next));
    if (!old) return;
    for (auto& r : g_retired) {
        if (r.get() == old && r->ODBCEntryTable[0]) {
            dlclose(r->ODBCEntryTable[0]);
            r->ODBCEntryTable[0] = nullptr;
        }
    }
}

template <typename Fn, typename... Args>
SQLRETURN Call(int slot, const char* name, Args... args)
{
    t_lastCallStatus = 0;
    t_lastCallName = name;
    const Binding* b = g_binding.load(std::memory_order_acquire);
    void* entry = b ? b->ODBCEntryTable[slot] : nullptr;
    if (!entry) {
        t_lastCallStatus = -1;
        return SQL_ERROR;
    }
    return reinterpret_cast<Fn>(entry)(args...);
}

} // namespace

int LastCallStatus() { return t_lastCallStatus; }
const std::string& LastCallName() { return t_lastCallName; }
void ResetLastCall()
{
    t_lastCallStatus = 0;
    t_lastCallName.clear();
}

bool LoadODBC(const char* libraryName)
{
    std::lock_guard lock(g_loadMutex);
    const char* name = (libraryName && *libraryName) ? libraryName : DefaultLibraryName;
    void* library = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        Publish(nullptr);
        return false;
    }
    const Binding* current = g_binding.load(std::memory_order_acquire);
    if (current && current->ODBCEntryTable[0] == library) {
        // The same library again resolves to the same entry points: keep the published table.
        dlclose(library);
        return true;
    }
    auto next = Resolve(library);
    if (!AnyPresent(*next)) {
        dlclose(library);
        Publish(nullptr);
        return false;
    }
    Publish(std::move(next));
    return true;
}

void UnloadODBC()
{
    std::lock_guard lock(g_loadMutex);
    Publish(nullptr);
}

bool IsLoaded() { return g_binding.load(std::memory_order_acquire) != nullptr; }

void* ODBCEntryTable(int slot)
{
    const Binding* b = g_binding.load(std::memory_order_acquire);
    return (b && slot >= 0 && slot < EntrySlotCount) ? b->ODBCEntryTable[slot] : nullptr;
}

std::uint16_t ODBCFunctionIds(int index)
{
    const Binding* b = g_binding.load(std::memory_order_acquire);
    return (b && index >= 0 && index < FunctionIndexCount) ? b->ODBCFunctionIds[index] : 0;
}

bool ODBCFunctionPresent(int index)
{
    const Binding* b = g_binding.load(std::memory_order_acquire);
    return b && index >= 0 && index < FunctionIndexCount && b->ODBCFunctionPresent[index];
}

void* ODBCFunctionEntries(int index)
{
    const Binding* b = g_binding.load(std::memory_order_acquire);
    return (b && index >= 0 && index < FunctionIndexCount) ? b->ODBCFunctionEntries[index] : nullptr;
}

bool SQLSucceeded(SQLRETURN rc, bool strict)
{
    return strict ? rc == SQL_SUCCESS : (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO);
}

std::uint8_t ODBCFunctionIndex(std::uint16_t apiId)
{
    const Binding* b = g_binding.load(std::memory_order_acquire);
    if (!b) return 0;
    for (int i = 1; i < FunctionIndexCount; ++i)
        if (b->ODBCFunctionIds[i] == apiId) return static_cast<std::uint8_t>(i);
    return 0;
}

void GetSupportedFunctions(SQLHDBC connection, SupportedFunctionFlags& flags)
{
    flags.fill(false);
    const Binding* b = g_binding.load(std::memory_order_acquire);
    if (!b || !b->ODBCFunctionPresent[SQL_API_SQLGETFUNCTIONS]) return;
    for (int i = 0; i < FunctionIndexCount; ++i) {
        if (!b->ODBCFunctionPresent[i]) continue;
        SQLUSMALLINT supported = 0;
        if (SQLSucceeded(SQLGetFunctions(connection, b->ODBCFunctionIds[i], &supported), false)) flags[i] = supported != 0;
    }
}

std::string NotImplementedText(int lastCallStatus, const std::string& lastCallName)
{
    return "(" + std::to_string(lastCallStatus) + ")" + ODBCDebug::ErrorTextLineBreak + lastCallName +
           " is not implemented !" + ODBCDebug::ErrorTextLineBreak;
}

void GetODBCErrorText(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, char* buffer, std::uint16_t bufferLength,
                      std::string& text)
{
    text.clear();
    if (t_lastCallStatus != 0) {
        text = NotImplementedText(t_lastCallStatus, t_lastCallName);
    } else {
        // A large message buffer keeps long driver messages whole.
        constexpr SQLSMALLINT MessageBufferSize = 32767;
        std::vector<SQLCHAR> message(MessageBufferSize + 1);
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        while (SQLSucceeded(SQLError(env, dbc, stmt, state, &native, message.data(), MessageBufferSize, &length),
                            false)) {
            message[MessageBufferSize] = 0;
            std::string one = Utf8Text::CutToBytes(reinterpret_cast<const char*>(message.data()), MessageBufferSize - 1);
            text += ODBCDebug::ErrorTextLineBreak;
            text += one;
            text += ODBCDebug::ErrorTextLineBreak;
        }
    }
    if (buffer) {
        std::string copy = Utf8Text::CutToBytes(text, bufferLength);
        copy.copy(buffer, copy.size());
        buffer[copy.size()] = 0;
    }
    ResetLastCall();
}

// ---- wrappers ----

SQLRETURN SQLAllocConnect(SQLHENV env, SQLHDBC* dbc)
{
    return Call<decltype(&::SQLAllocConnect)>(1, "SQLAllocConnect", env, dbc);
}
SQLRETURN SQLAllocEnv(SQLHENV* env) { return Call<decltype(&::SQLAllocEnv)>(2, "SQLAllocEnv", env); }
SQLRETURN SQLAllocStmt(SQLHDBC dbc, SQLHSTMT* stmt)
{
    return Call<decltype(&::SQLAllocStmt)>(3, "SQLAllocStmt", dbc, stmt);
}
SQLRETURN SQLBindCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER value, SQLLEN bufferLength,
                     SQLLEN* indicator)
{
    return Call<decltype(&::SQLBindCol)>(4, "SQLBindCol", stmt, column, cType, value, bufferLength, indicator);
}
SQLRETURN SQLCancel(SQLHSTMT stmt)
{
    try {
        return Call<decltype(&::SQLCancel)>(5, "SQLCancel", stmt);
    } catch (...) {
        return SQL_ERROR;
    }
}
SQLRETURN SQLConnect(SQLHDBC dbc, SQLCHAR* dsn, SQLSMALLINT dsnLength, SQLCHAR* user, SQLSMALLINT userLength,
                     SQLCHAR* password, SQLSMALLINT passwordLength)
{
    return Call<decltype(&::SQLConnect)>(7, "SQLConnect", dbc, dsn, dsnLength, user, userLength, password,
                                         passwordLength);
}
SQLRETURN SQLDescribeCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLCHAR* name, SQLSMALLINT bufferLength,
                         SQLSMALLINT* nameLength, SQLSMALLINT* sqlType, SQLULEN* columnSize,
                         SQLSMALLINT* decimalDigits, SQLSMALLINT* nullable)
{
    return Call<decltype(&::SQLDescribeCol)>(8, "SQLDescribeCol", stmt, column, name, bufferLength, nameLength,
                                             sqlType, columnSize, decimalDigits, nullable);
}
SQLRETURN SQLDisconnect(SQLHDBC dbc) { return Call<decltype(&::SQLDisconnect)>(9, "SQLDisconnect", dbc); }
SQLRETURN SQLError(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLCHAR* sqlState, SQLINTEGER* nativeError,
                   SQLCHAR* message, SQLSMALLINT bufferLength, SQLSMALLINT* messageLength)
{
    return Call<decltype(&::SQLError)>(10, "SQLError", env, dbc, stmt, sqlState, nativeError, message, bufferLength,
                                       messageLength);
}
SQLRETURN SQLExecDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER textLength)
{
    return Call<decltype(&::SQLExecDirect)>(11, "SQLExecDirect", stmt, text, textLength);
}
SQLRETURN SQLExecute(SQLHSTMT stmt) { return Call<decltype(&::SQLExecute)>(12, "SQLExecute", stmt); }
SQLRETURN SQLFetch(SQLHSTMT stmt) { return Call<decltype(&::SQLFetch)>(13, "SQLFetch", stmt); }
SQLRETURN SQLFreeConnect(SQLHDBC dbc) { return Call<decltype(&::SQLFreeConnect)>(14, "SQLFreeConnect", dbc); }
SQLRETURN SQLFreeEnv(SQLHENV env) { return Call<decltype(&::SQLFreeEnv)>(15, "SQLFreeEnv", env); }
SQLRETURN SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option)
{
    return Call<decltype(&::SQLFreeStmt)>(16, "SQLFreeStmt", stmt, option);
}
SQLRETURN SQLGetData(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER value, SQLLEN bufferLength,
                     SQLLEN* indicator)
{
    return Call<decltype(&::SQLGetData)>(27, "SQLGetData", stmt, column, cType, value, bufferLength, indicator);
}
SQLRETURN SQLNumResultCols(SQLHSTMT stmt, SQLSMALLINT* columnCount)
{
    return Call<decltype(&::SQLNumResultCols)>(18, "SQLNumResultCols", stmt, columnCount);
}
SQLRETURN SQLPrepare(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER textLength)
{
    return Call<decltype(&::SQLPrepare)>(19, "SQLPrepare", stmt, text, textLength);
}
SQLRETURN SQLRowCount(SQLHSTMT stmt, SQLLEN* rowCount)
{
    return Call<decltype(&::SQLRowCount)>(20, "SQLRowCount", stmt, rowCount);
}
SQLRETURN SQLColumns(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                     SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength, SQLCHAR* column,
                     SQLSMALLINT columnLength)
{
    return Call<decltype(&::SQLColumns)>(24, "SQLColumns", stmt, catalog, catalogLength, schema, schemaLength, table,
                                         tableLength, column, columnLength);
}
SQLRETURN SQLGetFunctions(SQLHDBC dbc, SQLUSMALLINT functionId, SQLUSMALLINT* supported)
{
    return Call<decltype(&::SQLGetFunctions)>(28, "SQLGetFunctions", dbc, functionId, supported);
}
SQLRETURN SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT infoType, SQLPOINTER value, SQLSMALLINT bufferLength,
                     SQLSMALLINT* length)
{
    return Call<decltype(&::SQLGetInfo)>(29, "SQLGetInfo", dbc, infoType, value, bufferLength, length);
}
SQLRETURN SQLSetConnectOption(SQLHDBC dbc, SQLUSMALLINT option, SQLULEN value)
{
    return Call<decltype(&::SQLSetConnectOption)>(34, "SQLSetConnectOption", dbc, option, value);
}
SQLRETURN SQLSetStmtOption(SQLHSTMT stmt, SQLUSMALLINT option, SQLULEN value)
{
    return Call<decltype(&::SQLSetStmtOption)>(35, "SQLSetStmtOption", stmt, option, value);
}
SQLRETURN SQLStatistics(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                        SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength, SQLUSMALLINT unique,
                        SQLUSMALLINT reserved)
{
    return Call<decltype(&::SQLStatistics)>(37, "SQLStatistics", stmt, catalog, catalogLength, schema, schemaLength,
                                            table, tableLength, unique, reserved);
}
SQLRETURN SQLTables(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                    SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength, SQLCHAR* type,
                    SQLSMALLINT typeLength)
{
    return Call<decltype(&::SQLTables)>(38, "SQLTables", stmt, catalog, catalogLength, schema, schemaLength, table,
                                        tableLength, type, typeLength);
}
SQLRETURN SQLDataSources(SQLHENV env, SQLUSMALLINT direction, SQLCHAR* name, SQLSMALLINT nameBufferLength,
                         SQLSMALLINT* nameLength, SQLCHAR* description, SQLSMALLINT descriptionBufferLength,
                         SQLSMALLINT* descriptionLength)
{
    return Call<decltype(&::SQLDataSources)>(41, "SQLDataSources", env, direction, name, nameBufferLength,
                                             nameLength, description, descriptionBufferLength, descriptionLength);
}
SQLRETURN SQLPrimaryKeys(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                         SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength)
{
    return Call<decltype(&::SQLPrimaryKeys)>(49, "SQLPrimaryKeys", stmt, catalog, catalogLength, schema,
                                             schemaLength, table, tableLength);
}
SQLRETURN SQLProcedureColumns(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                              SQLSMALLINT schemaLength, SQLCHAR* procedure, SQLSMALLINT procedureLength,
                              SQLCHAR* column, SQLSMALLINT columnLength)
{
    return Call<decltype(&::SQLProcedureColumns)>(50, "SQLProcedureColumns", stmt, catalog, catalogLength, schema,
                                                  schemaLength, procedure, procedureLength, column, columnLength);
}
SQLRETURN SQLProcedures(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                        SQLSMALLINT schemaLength, SQLCHAR* procedure, SQLSMALLINT procedureLength)
{
    return Call<decltype(&::SQLProcedures)>(51, "SQLProcedures", stmt, catalog, catalogLength, schema, schemaLength,
                                            procedure, procedureLength);
}
SQLRETURN SQLSetConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLINTEGER value, SQLINTEGER stringLength)
{
    return Call<decltype(&::SQLSetConnectAttr)>(58, "SQLSetConnectAttr", dbc, attribute,
                                                reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(value)),
                                                stringLength);
}
SQLRETURN SQLSetEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLINTEGER value, SQLINTEGER stringLength)
{
    return Call<decltype(&::SQLSetEnvAttr)>(59, "SQLSetEnvAttr", env, attribute,
                                            reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(value)), stringLength);
}

} // namespace ODBCIntf
