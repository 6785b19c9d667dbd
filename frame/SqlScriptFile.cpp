#include "SqlScriptFile.h"

#include "FileReplacement.h"

#include <QFile>
#include <QStringDecoder>

namespace SqlScriptFile {

QString Decode(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder gb18030("GB18030");
    return gb18030.isValid() ? QString(gb18030.decode(bytes)) : text;
}

QStringList Lines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start < n) lines << text.mid(start);
    return lines;
}

QStringList EditorLines(const QString& text)
{
    QString breaks = text;
    breaks.replace(QChar(0x2028), QLatin1Char('\n'));
    QStringList lines = breaks.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QByteArray Encode(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

ReadResult Read(const QString& path)
{
    ReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.Error = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.Error = file.errorString();
        return result;
    }
    result.Ok = true;
    result.Text = Lines(Decode(bytes)).join(QLatin1Char('\n'));
    return result;
}

bool Write(const QString& path, const QStringList& lines, QString* error)
{
    // Written aside and put in place only when every byte reached the disk: a failed save leaves
    // the old file whole and says why.
    FileReplacement file(path);
    const bool ok = file.Open() && file.Write(Encode(lines)) && file.Commit();
    if (!ok && error) *error = file.ErrorText();
    return ok;
}

} // namespace SqlScriptFile
