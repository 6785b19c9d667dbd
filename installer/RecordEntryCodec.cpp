#include "RecordEntryCodec.h"

#include <QByteArray>

namespace {

QString Escaped(QChar c) { return QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper(); }

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

} // namespace

QString RecordEntryCodec::Encode(const QString& path)
{
    qsizetype first = 0;
    while (first < path.size() && IsBlank(path[first])) ++first;
    qsizetype end = path.size();
    while (end > first && IsBlank(path[end - 1])) --end;
    QString value;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        const bool edgeBlank = IsBlank(c) && (i < first || i >= end);
        if (c == u'%' || c == u'\r' || c == u'\n' || edgeBlank)
            value += Escaped(c);
        else
            value += c;
    }
    return value;
}

QString RecordEntryCodec::Decode(const QString& value)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(value.toUtf8()));
}
