// Diagnostic text of one ODBC handle, read through SQLGetDiagRec.
#pragma once

#include <sql.h>

#include <string>

namespace U_pub {

// The message of the last diagnostic record of the handle; empty when there is none.
void GetDiagMessage(SQLSMALLINT handleType, SQLHANDLE handle, std::string& message);

} // namespace U_pub
