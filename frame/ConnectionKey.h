// The connection key that identifies a connection everywhere in the program.
#pragma once

#include <QString>

namespace ConnectionKey {

// DBMS name, "===", data source, ";", user, ",", password, ";", joined without any escaping.
QString Build(const QString& dbmsName, const QString& dsn, const QString& user, const QString& password);

} // namespace ConnectionKey
