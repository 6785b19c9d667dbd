// What the program asks of the desktop behind one small interface: open a file with the program
// registered for it, tell whether a type has such a program, start a program. A test installs its
// own, so that no test ever starts a desktop program.
#pragma once

#include <QString>
#include <QStringList>

class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;

    // Opens a local file with the desktop's program for it; false when none could be started.
    virtual bool OpenFile(const QString& path) = 0;
    // Whether the desktop has a default program for a MIME type ("text/csv").
    virtual bool HasProgramFor(const QString& mimeType) = 0;
    // Starts a program detached from this process; false when it could not be started.
    virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;

    // The opener in use: the installed one, else the desktop's.
    static DesktopOpener& Current();
    // Installs an opener (not owned); nullptr returns to the desktop's.
    static void Install(DesktopOpener* opener);
};
