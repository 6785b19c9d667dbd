// SQL script files: read as UTF-8, or as GB18030 when they are not valid UTF-8; written in the
// encoding and with the line ends of the file read into the editor (UTF-8 and CR LF for a new
// script), through a temporary file in the target folder that replaces the old file only once it
// is whole.
#pragma once

#include "ScriptFileForm.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace SqlScriptFile {

// The text of a script's bytes: UTF-8 (a byte order mark left out), or GB18030 when they are not
// valid UTF-8. Bytes that are neither show as U+FFFD each. form, when given, tells which.
QString Decode(const QByteArray& bytes, ScriptFileForm* form = nullptr);

// The lines of a text: a line ends at CR LF, LF or CR; a break at the very end starts no new line.
QStringList Lines(const QString& text);

// The lines of an editor's text (one "\n" per line break; a line separator U+2028 breaks a line
// too); an empty last line, where the text ends with a break, is not one of them.
QStringList EditorLines(const QString& text);

// Every line in the form's encoding followed by its line end, the last one only when the form says so.
QByteArray Encode(const QStringList& lines, const ScriptFileForm& form = {});

struct ReadResult {
    bool Ok = false;
    // The lines joined by "\n", with one "\n" more where the last line is empty, so that the
    // editor's lines (EditorLines) are the file's.
    QString Text;
    ScriptFileForm Form;
    QString Error; // the system's text when the file could not be read
};
ReadResult Read(const QString& path);

// Writes the lines as the form says; on failure the old file stays as it was and error holds the
// system's text.
bool Write(const QString& path, const QStringList& lines, const ScriptFileForm& form, QString* error);

} // namespace SqlScriptFile
