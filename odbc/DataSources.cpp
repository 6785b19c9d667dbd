#include "DataSources.h"

#include "ODBCDiagnostics.h"
#include "ODBCIntf.h"

#include <sqlext.h>

#include <vector>

namespace U_pub {

bool ListDataSources(SQLHENV env, StringList& list, std::string& errorText)
{
    // Large enough that no name the driver manager accepts is cut.
    constexpr SQLSMALLINT NameBufferSize = 1025;
    constexpr SQLSMALLINT DescriptionBufferSize = 1025;
    std::vector<SQLCHAR> name(NameBufferSize), description(DescriptionBufferSize);
    SQLSMALLINT nameLength = 0, descriptionLength = 0;
    SQLRETURN rc = ODBCIntf::SQLDataSources(env, SQL_FETCH_FIRST, name.data(), NameBufferSize, &nameLength,
                                            description.data(), DescriptionBufferSize, &descriptionLength);
    if (ODBCIntf::SQLSucceeded(rc, false))
        errorText.clear();
    else
        GetDiagMessage(SQL_HANDLE_ENV, env, errorText);
    while (ODBCIntf::SQLSucceeded(rc, false)) {
        name.back() = 0;
        list.emplace_back(reinterpret_cast<const char*>(name.data()));
        rc = ODBCIntf::SQLDataSources(env, SQL_FETCH_NEXT, name.data(), NameBufferSize, &nameLength,
                                      description.data(), DescriptionBufferSize, &descriptionLength);
    }
    SortStringList(list);
    return true;
}

void GetDBMSName(SQLHDBC dbc, std::string& errorText, bool& flag, std::string& dbmsName)
{
    std::vector<char> buffer(257);
    SQLSMALLINT length = 0;
    SQLRETURN rc = ODBCIntf::SQLGetInfo(dbc, SQL_DBMS_NAME, buffer.data(), 255, &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= 255) {
        buffer.assign(static_cast<std::size_t>(length) + 2, 0);
        rc = ODBCIntf::SQLGetInfo(dbc, SQL_DBMS_NAME, buffer.data(), static_cast<SQLSMALLINT>(length + 1), &length);
    }
    if (ODBCIntf::SQLSucceeded(rc, false)) {
        errorText.clear();
        buffer.back() = 0;
        dbmsName = buffer.data();
    } else {
        GetDiagMessage(SQL_HANDLE_DBC, dbc, errorText);
        dbmsName.clear();
    }
    flag = true;
}

} // namespace U_pub
