/* A driver whose every execution fails with two diagnostic records, "first record" and then
   "second record": no real driver here leaves more than one. Just enough for the driver manager
   to connect, allocate a statement and read the records. */
#include <sql.h>
#include <sqlext.h>

#include <string.h>

static int handles[3];

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output)
{
    (void)input;
    if (type < SQL_HANDLE_ENV || type > SQL_HANDLE_STMT) return SQL_ERROR;
    *output = &handles[type - 1];
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle)
{
    (void)type; (void)handle;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option)
{
    (void)stmt; (void)option;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length)
{
    (void)env; (void)attribute; (void)value; (void)length;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLConnect(SQLHDBC dbc, SQLCHAR* dsn, SQLSMALLINT dsnLength, SQLCHAR* user, SQLSMALLINT userLength,
                             SQLCHAR* password, SQLSMALLINT passwordLength)
{
    (void)dbc; (void)dsn; (void)dsnLength; (void)user; (void)userLength; (void)password; (void)passwordLength;
    return SQL_SUCCESS;
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC dbc)
{
    (void)dbc;
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
    if (value && length > 0) {
        strncpy((char*)value, text, (size_t)length - 1);
        ((char*)value)[length - 1] = 0;
    }
    if (outLength) *outLength = (SQLSMALLINT)strlen(text);
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
    if (message && length > 0) {
        strncpy((char*)message, text, (size_t)length - 1);
        message[length - 1] = 0;
    }
    if (outLength) *outLength = (SQLSMALLINT)strlen(text);
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
