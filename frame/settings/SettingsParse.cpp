#include "SettingsParse.h"

#include "FontSetting.h"

namespace SettingsParse {

bool Flag(const QString& value, bool defaultValue)
{
    if (value.isEmpty()) return defaultValue;
    return value[0] == u'Y' || value[0] == u'y';
}

QString StatementSeparator(const QString& value)
{
    if (value.isEmpty() || value[0] == u'0') return QStringLiteral(";");
    return QStringLiteral("$$");
}

QString TextQualifier(const QString& value)
{
    if (value.isEmpty()) return QStringLiteral("\"");
    if (value[0] == u'0') return QString();
    if (value[0] == u'2') return QStringLiteral("'");
    return QStringLiteral("\"");
}

int MaxFieldLen(const QString& value)
{
    bool ok = false;
    const int n = value.toInt(&ok, 10);
    if (!ok || n < 512 || n > 65536 || n % 512 != 0) return 512;
    return n;
}

int FontStyle(const QString& value)
{
    bool ok = false;
    const int n = value.toInt(&ok, 10);
    return ok ? (n & 0xFF & FontSetting::StyleMask) : 0;
}

std::optional<int> FontSize(const QString& value)
{
    bool ok = false;
    const int n = value.toInt(&ok, 10);
    if (!ok || n <= 0) return std::nullopt;
    return n;
}

QString WithTrailingSeparator(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith(u'/')) return folder;
    return folder + u'/';
}

} // namespace SettingsParse
