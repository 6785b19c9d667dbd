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

// The message shown when the desktop has no program that opens the user's data source file.
QString NoProgramForFileText(const QString& file);

// Starts the administrator; without one, opens the user's data source file (made empty when it is
// missing). Whether an administrator started is not reported; when the file cannot be opened, a
// message with the caption tells the user where the data sources are kept.
void Start(const QString& caption);

} // namespace OdbcAdministrator
