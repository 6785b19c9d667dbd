// SQL script files: read as UTF-8, or as GB18030 when they are not valid UTF-8; written as UTF-8
// lines each ended by CR LF, through a temporary file in the target folder that replaces the old
// file only once it is whole.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace SqlScriptFile {

// The text of a script's bytes: UTF-8, or GB18030 when they are not valid UTF-8.
QString Decode(const QByteArray& bytes);

// The lines of a text: a line ends at CR LF, LF or CR; a break at the very end starts no new line.
QStringList Lines(const QString& text);

// The lines of an editor's text (one "\n" per line break; a line separator U+2028 breaks a line
// too); an empty last line, where the text ends with a break, is not one of them.
QStringList EditorLines(const QString& text);

// Every line in UTF-8 followed by CR LF, the last one too.
QByteArray Encode(const QStringList& lines);

struct ReadResult {
    bool Ok = false;
    QString Text;  // the lines joined by "\n"
    QString Error; // the system's text when the file could not be read
};
ReadResult Read(const QString& path);

// Writes the lines; on failure the old file stays as it was and error holds the system's text.
bool Write(const QString& path, const QStringList& lines, QString* error);

} // namespace SqlScriptFile
