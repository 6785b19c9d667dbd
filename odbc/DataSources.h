// The data-source list of the driver manager and the DBMS name of a connection.
#pragma once

#include "StringList.h"

#include <sql.h>

#include <string>

namespace U_pub {

// Appends every known data-source name and sorts the list; the error text is the only failure report.
bool ListDataSources(SQLHENV env, StringList& list, std::string& errorText);

// The product name the driver reports; flag is True on every return, the error text reports a failure.
void GetDBMSName(SQLHDBC dbc, std::string& errorText, bool& flag, std::string& dbmsName);

} // namespace U_pub
