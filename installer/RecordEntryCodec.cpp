#include "RecordEntryCodec.h"

#include <QByteArray>

namespace {

// The character's UTF-8 bytes, each as %XX.
QString Escaped(QChar c)
{
    QString escaped;
    for (const char byte : QString(c).toUtf8())
        escaped += QStringLiteral("%%1").arg(static_cast<uchar>(byte), 2, 16, QLatin1Char('0')).toUpper();
    return escaped;
}

} // namespace

QString RecordEntryCodec::Encode(const QString& path)
{
    // A value read back loses every kind of blank at its ends (the ideographic space included).
    qsizetype first = 0;
    while (first < path.size() && path[first].isSpace()) ++first;
    qsizetype end = path.size();
    while (end > first && path[end - 1].isSpace()) --end;
    QString value;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        if (c == u'%' || c == u'\r' || c == u'\n' || i < first || i >= end)
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
