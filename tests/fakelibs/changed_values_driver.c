/* A driver that changes bound values to fit their C types and says so with success with
   information, as a driver may do where the real ones here change them silently or not at all.
   Every execution has one result set of two rows: a time column holding 07:05:09.5 and
   07:05:10, and an integer column holding 42 and 4294967296. Bound as SQL_C_TIME and SQL_C_LONG,
   the first row's time loses its fraction (01S07, column not told) and the second row's integer
   is out of range (22003, column 2). A statement that holds the text no getdata refuses SQLGetData. */
#include <sql.h>
#include <sqlext.h>

#include "fake_driver_common.h"

#include <stdio.h>
#include <string.h>

static int row;          /* the row fetched last, 1 or 2 */
static int noGetData;
static const char* pendingState;
static int pendingColumn;
static struct {
    SQLSMALLINT type;
    SQLPOINTER value;
    SQLLEN length;
    SQLLEN* indicator;
} bound[3];

static const char* const times[] = {"07:05:09.5", "07:05:10"};
static const char* const integers[] = {"42", "4294967296"};

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option)
{
    (void)stmt;
    if (option == SQL_UNBIND) memset(bound, 0, sizeof bound);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT stmt)
{
    (void)stmt;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length)
{
    (void)stmt; (void)attribute; (void)value; (void)length;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length)
{
    (void)stmt; (void)length;
    noGetData = strstr((const char*)text, "no getdata") != NULL;
    row = 0;
    pendingState = NULL;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT stmt, SQLLEN* count)
{
    (void)stmt;
    *count = -1;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT stmt, SQLSMALLINT* count)
{
    (void)stmt;
    *count = 2;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLCHAR* name, SQLSMALLINT nameMax,
                                 SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                                 SQLSMALLINT* nullable)
{
    (void)stmt;
    const char* text = column == 1 ? "t" : "i";
    if (name && nameMax > 1) snprintf((char*)name, (size_t)nameMax, "%s", text);
    if (nameLength) *nameLength = 1;
    if (type) *type = column == 1 ? SQL_TYPE_TIME : SQL_INTEGER;
    if (size) *size = column == 1 ? 8 : 10;
    if (digits) *digits = 0;
    if (nullable) *nullable = SQL_NULLABLE;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLBindCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER value, SQLLEN length,
                             SQLLEN* indicator)
{
    (void)stmt;
    if (column < 1 || column > 2) return SQL_ERROR;
    bound[column].type = type;
    bound[column].value = value;
    bound[column].length = length;
    bound[column].indicator = indicator;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT stmt)
{
    (void)stmt;
    if (row >= 2) return SQL_NO_DATA;
    ++row;
    pendingState = NULL;
    if (bound[1].value && (bound[1].type == SQL_C_TIME || bound[1].type == SQL_C_TYPE_TIME)) {
        SQL_TIME_STRUCT t = {7, 5, (SQLUSMALLINT)(row == 1 ? 9 : 10)};
        memcpy(bound[1].value, &t, sizeof t);
        if (bound[1].indicator) *bound[1].indicator = sizeof t;
        if (row == 1) {
            pendingState = "01S07";
            pendingColumn = SQL_COLUMN_NUMBER_UNKNOWN;
        }
    }
    if (bound[2].value && bound[2].type == SQL_C_LONG) {
        SQLINTEGER v = row == 1 ? 42 : 0;
        memcpy(bound[2].value, &v, sizeof v);
        if (bound[2].indicator) *bound[2].indicator = sizeof v;
        if (row == 2) {
            pendingState = "22003";
            pendingColumn = 2;
        }
    }
    return pendingState ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER value, SQLLEN length,
                             SQLLEN* indicator)
{
    (void)stmt;
    if (noGetData || type != SQL_C_CHAR || column < 1 || column > 2 || row < 1) return SQL_ERROR;
    const char* text = column == 1 ? times[row - 1] : integers[row - 1];
    snprintf((char*)value, (size_t)length, "%s", text);
    if (indicator) *indicator = (SQLLEN)strlen(text);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT length,
                             SQLSMALLINT* outLength)
{
    (void)dbc;
    const char* text = type == SQL_DRIVER_ODBC_VER ? "03.00" : type == SQL_DBMS_NAME ? "Changer" : "";
    PutText(text, value, length, outLength);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLCHAR* state,
                                SQLINTEGER* native, SQLCHAR* message, SQLSMALLINT length, SQLSMALLINT* outLength)
{
    (void)handle;
    if (type != SQL_HANDLE_STMT || record != 1 || !pendingState) return SQL_NO_DATA;
    const char* text = strcmp(pendingState, "01S07") == 0 ? "Fractional truncation" : "Numeric value out of range";
    if (state) strcpy((char*)state, pendingState);
    if (native) *native = 0;
    PutText(text, message, length, outLength);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field,
                                  SQLPOINTER value, SQLSMALLINT length, SQLSMALLINT* outLength)
{
    (void)handle; (void)length; (void)outLength;
    if (type != SQL_HANDLE_STMT || !pendingState) return SQL_NO_DATA;
    if (record == 0 && field == SQL_DIAG_NUMBER) {
        *(SQLINTEGER*)value = 1;
        return SQL_SUCCESS;
    }
    if (record == 0 && field == SQL_DIAG_RETURNCODE) {
        *(SQLRETURN*)value = SQL_SUCCESS_WITH_INFO;
        return SQL_SUCCESS;
    }
    if (record == 1 && field == SQL_DIAG_COLUMN_NUMBER) {
        *(SQLINTEGER*)value = pendingColumn;
        return SQL_SUCCESS;
    }
    return SQL_NO_DATA;
}
