// The ODBC data source administrator: the first administrator program found on the PATH, else the
// user's data source file opened with the desktop's program for it.
#pragma once

#include <QString>
#include <QStringList>

namespace OdbcAdministrator {

// The administrator programs looked for, in order.
QStringList ProgramNames();

// The user's data source file: $ODBCINI, else ~/.odbc.ini.
QString UserDsnFile();

// Starts the administrator; without one, opens the user's data source file (made empty when it is
// missing). Whether anything started is not reported.
void Start();

} // namespace OdbcAdministrator
