#include "ConnectionKey.h"

namespace ConnectionKey {

QString Build(const QString& dbmsName, const QString& dsn, const QString& user, const QString& password)
{
    return dbmsName + QStringLiteral("===") + dsn + QLatin1Char(';') + user + QLatin1Char(',') + password +
           QLatin1Char(';');
}

} // namespace ConnectionKey
