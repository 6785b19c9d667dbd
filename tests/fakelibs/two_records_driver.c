/* A driver whose every execution fails with two diagnostic records, "first record" and then
   "second record": no real driver here leaves more than one. Just enough for the driver manager
   to connect, allocate a statement and read the records. */
#include <sql.h>
#include <sqlext.h>

#include <string.h>

#include "fake_driver_common.h"

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option)
{
    (void)stmt; (void)option;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length)
{
    (void)stmt; (void)text; (void)length;
    return SQL_ERROR;
}

SQLRETURN SQL_API SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT length,
                             SQLSMALLINT* outLength)
{
    (void)dbc;
    const char* text = type == SQL_DRIVER_ODBC_VER ? "03.00" : "";
    PutText(text, value, length, outLength);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLCHAR* state,
                                SQLINTEGER* native, SQLCHAR* message, SQLSMALLINT length, SQLSMALLINT* outLength)
{
    (void)handle;
    if (type != SQL_HANDLE_STMT || record < 1 || record > 2) return SQL_NO_DATA;
    const char* text = record == 1 ? "first record" : "second record";
    if (state) strcpy((char*)state, "HY000");
    if (native) *native = record;
    PutText(text, message, length, outLength);
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field,
                                  SQLPOINTER value, SQLSMALLINT length, SQLSMALLINT* outLength)
{
    (void)handle; (void)length; (void)outLength;
    if (type != SQL_HANDLE_STMT || record != 0) return SQL_NO_DATA;
    if (field == SQL_DIAG_NUMBER) {
        *(SQLINTEGER*)value = 2;
        return SQL_SUCCESS;
    }
    if (field == SQL_DIAG_RETURNCODE) {
        *(SQLRETURN*)value = SQL_ERROR;
        return SQL_SUCCESS;
    }
    return SQL_NO_DATA;
}
