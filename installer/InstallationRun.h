// The installation itself, without widgets: the libraries into the library folder, the data files,
// the settings file, the program, its icon and the user manual into the installation folder, and
// the shortcut in the applications folder. Every file and folder it makes is added to the
// installation record as soon as it exists, so that the removal takes away exactly those; one that
// the record cannot hold is taken away again and is a failure of the installation.
#pragma once

#include "InstallEnvironment.h"
#include "InstallationRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

class InstallationRun {
public:
    // What the page shows while the installation runs.
    class Observer {
    public:
        virtual ~Observer() = default;
        // One more item is done (copied, or kept because its target was there).
        virtual void ItemDone() = 0;
        // The source folder has none of a group's files (libraries, data files, program).
        virtual void FilesMissing() = 0;
        // The shortcut's folder could not be written into the record (its key is missing, or the
        // registry cannot be written); the shortcut is then a failure too.
        virtual void LinkFolderNotRecorded() = 0;
    };

    // Something that could not be put in place, and why.
    struct Failure {
        QString What;
        QString Reason;
    };

    // The number of items: the libraries and the data files of the source folder that the
    // installation writes (SystemLibraryNames, DataFileNames), the settings file, the program and
    // the manual. A group that is missing counts 0, so the total is at least 3.
    static int CountItems(const QString& sourceFolder);
    // The installed program's name: the part of sourceName before ".EX_" (looked for without regard
    // to case; the part keeps its case); the whole name when it holds no ".EX_".
    static QString ProgramTargetName(const QString& sourceName);
    // "Tarnvale 6.04": the shortcut's folder and, with ".desktop", its file.
    static QString LinkName();

    InstallationRun(InstallEnvironment environment, QString sourceFolder, QString installFolder);

    // Installs; the failures, empty when everything is in place.
    QList<Failure> Run(Observer& observer);
    // The files the last Run put in place and recorded, in the order written.
    const QStringList& Installed() const { return installed_; }

private:
    void CopyGroup(const QString& mask, const QString& targetFolder, Observer& observer);
    void CopyOne(const QString& source, const QString& target, bool replaceReadOnly, bool sourceOptional,
                 Observer& observer);
    void InstallProgram(Observer& observer);
    bool CreateProgramShortcut(const QString& target, const QString& icon, Observer& observer);
    bool MakeFolder(const QString& folder);
    // Adds a file the installation wrote to the record; when it cannot, the file goes again and fails.
    bool RecordFile(const QString& file);
    void Fail(const QString& what, const QString& reason) { failures_.append({what, reason}); }

    InstallEnvironment environment_;
    QString sourceFolder_;
    QString installFolder_;
    InstallationRecord record_;
    QList<Failure> failures_;
    QStringList installed_;
};
