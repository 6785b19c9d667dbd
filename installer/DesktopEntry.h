// The Start-menu shortcut as a freedesktop desktop entry: its text with the format's escaping, and
// writing it.
#pragma once

#include <QByteArray>
#include <QString>

class DesktopEntry {
public:
    struct Shortcut {
        QString Name;          // the menu's text
        QString Comment;       // the description
        QString Target;        // the program started, an absolute path
        QString WorkingFolder; // the folder it starts in
        QString Icon;          // an absolute path; empty: none
    };

    // A value of type string: "\" as "\\", line break, tab and carriage return as "\n", "\t",
    // "\r", and a leading blank as "\s".
    static QString EscapeString(const QString& value);
    // One argument of the Exec key before the string escaping: in double quotes, with '"', '`', '$'
    // and '\' preceded by '\', and '%' doubled.
    static QString QuoteExecArgument(const QString& argument);
    // The whole entry, UTF-8, with LF line ends.
    static QByteArray Content(const Shortcut& shortcut);
    // Writes the entry through a temporary file renamed into place (a file there is replaced, a
    // symbolic link is not: writing fails).
    static bool Write(const QString& path, const Shortcut& shortcut, QString* error = nullptr);
};
