// The program's file dialogs behind one small interface: the default shows a file dialog, and a
// test installs its own to answer it headless.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

class FileChooser {
public:
    enum class Mode { Open, Save, Folder };

    struct Request {
        QWidget* Parent = nullptr;
        QString Name;        // the dialog's object name, e.g. "SaveDialog_sql"
        QString Title;
        Mode Kind = Mode::Open;
        QString Folder;      // where the dialog starts; empty: where this Name's dialog was last
        QString FileName;    // the name proposed
        QStringList Filters; // "Sql Files(*.sql)", ...
        int FilterIndex = 0; // the filter shown first, 0-based
    };

    struct Answer {
        bool Accepted = false;
        QString Path;
        int FilterIndex = 0; // the filter chosen, 0-based
    };

    virtual ~FileChooser() = default;

    // Shows the dialog modally. Never asks about replacing a file: see SaveFileChoice.
    virtual Answer Choose(const Request& request) = 0;

    // The chooser in use: the installed one, else the file-dialog chooser.
    static FileChooser& Current();
    // Installs a chooser (not owned); nullptr returns to the file-dialog chooser.
    static void Install(FileChooser* chooser);
};
