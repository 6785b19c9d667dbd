/* What every stand-in driver does alike: handles that are always there and a connection that
   always succeeds. Included by each driver's source. */
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

/* Hands out a text as the driver functions do: cut to the buffer, its whole length told. */
static void PutText(const char* text, SQLPOINTER value, SQLSMALLINT length, SQLSMALLINT* outLength)
{
    if (value && length > 0) {
        strncpy((char*)value, text, (size_t)length - 1);
        ((char*)value)[length - 1] = 0;
    }
    if (outLength) *outLength = (SQLSMALLINT)strlen(text);
}
