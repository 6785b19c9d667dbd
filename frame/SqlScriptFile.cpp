#include "SqlScriptFile.h"

#include "FileReplacement.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace SqlScriptFile {

QString Decode(const QByteArray& bytes, ScriptFileForm* form)
{
    ScriptFileForm found;
    found.Utf8Bom = bytes.startsWith("\xEF\xBB\xBF");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        found.Utf8Bom = false;
        QStringDecoder gb18030("GB18030");
        QString gbText = gb18030.isValid() ? QString(gb18030.decode(bytes)) : QString();
        if (gb18030.isValid() && !gb18030.hasError()) {
            text = gbText;
            found.Gb18030 = true;
        } else {
            // Neither: the UTF-8 reading marks each bad byte alone and merges none with its neighbour.
            found.Undecodable = true;
        }
    }
    if (form) {
        form->Gb18030 = found.Gb18030;
        form->Utf8Bom = found.Utf8Bom;
        form->Undecodable = found.Undecodable;
    }
    return text;
}

namespace {

// The first line end of the bytes; CR LF when they have none.
QByteArray FirstLineEnd(const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\n') return "\n";
        if (bytes.at(i) == '\r') return i + 1 < bytes.size() && bytes.at(i + 1) == '\n' ? "\r\n" : "\r";
    }
    return "\r\n";
}

} // namespace

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

QByteArray Encode(const QStringList& lines, const ScriptFileForm& form)
{
    QByteArray bytes = form.Utf8Bom && !form.Gb18030 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    QStringEncoder gb18030("GB18030");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        bytes += form.Gb18030 && gb18030.isValid() ? QByteArray(gb18030.encode(lines.at(i))) : lines.at(i).toUtf8();
        if (i + 1 < lines.size() || form.LastLineEnded) bytes += form.LineEnd;
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
    const QStringList lines = Lines(Decode(bytes, &result.Form));
    result.Text = lines.join(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) result.Text += QLatin1Char('\n');
    result.Form.LineEnd = FirstLineEnd(bytes);
    result.Form.LastLineEnded = bytes.isEmpty() || bytes.endsWith('\n') || bytes.endsWith('\r');
    return result;
}

bool Write(const QString& path, const QStringList& lines, const ScriptFileForm& form, QString* error)
{
    // Written aside and put in place only when every byte reached the disk: a failed save leaves
    // the old file whole and says why.
    FileReplacement file(path);
    const bool ok = file.Open() && file.Write(Encode(lines, form)) && file.Commit();
    if (!ok && error) *error = file.ErrorText();
    return ok;
}

} // namespace SqlScriptFile
