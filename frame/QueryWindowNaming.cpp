#include "QueryWindowNaming.h"

namespace QueryWindowNaming {

QString QueryWindowTitle(std::int32_t number) { return UntitledText + QString::number(number); }

std::int32_t WindowNumberOf(const QString& title)
{
    const qsizetype at = title.indexOf(UntitledText);
    if (at < 0) return 0;
    bool ok = false;
    const int number = title.mid(at + UntitledText.size()).toInt(&ok);
    return ok ? number : 0;
}

QString QueryWindowCaption(const QString& dsn, const QString& user, const QString& title)
{
    return QStringLiteral("查询 -- ") + dsn + QLatin1Char('\\') + user + QStringLiteral("  --") + title;
}

QString ConnectionNodeText(const QString& dsn, const QString& user)
{
    return dsn + QLatin1Char('(') + user + QLatin1Char(')');
}

} // namespace QueryWindowNaming
