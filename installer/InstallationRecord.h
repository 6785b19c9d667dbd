// The installation record: the registry key through which the installer and the program meet. The
// program reads "Version" and "path"; the removal reads "path", "LinkDir" and the lists that say
// what the installations wrote: the files (subkey "Files"), the folders they created (subkey
// "Folders"), each entry written as soon as its file or folder was made, and every installation
// folder the record has named (subkey "Paths"; missing in records written before it was kept).
#pragma once

#include "RegistryStore.h"

#include <QString>
#include <QStringList>

class InstallationRecord {
public:
    static inline const QString KeyPath = QStringLiteral("SOFTWARE\\Corvane\\Tarnvale\\Enterprise");
    static inline const RegistryHive Hive = RegistryHive::LocalMachine;

    struct Contents {
        bool Present = false; // the key exists
        QString Version;
        QString Path;
        QString User;
        QString Company;
        QString LinkDir;
        QStringList Files;
        QStringList Folders;
        QStringList Paths; // "path" among them, unless the record is older than this list
    };

    explicit InstallationRecord(RegistryStore store);

    bool Exists() const;
    // Reads without creating anything; a missing value reads as empty.
    Contents Read() const;

    // The folder page: deletes the key with its values, then writes "Version" and "path". The
    // lists of files and folders written by earlier installations are kept (only this record can
    // remove them again), followed by createdFolders, and so are the installation folders they went
    // into (a record older than that list gives its "path"), followed by path.
    // *error says why it failed.
    bool Replace(const QString& version, const QString& path, const QStringList& createdFolders,
                 QString* error = nullptr);
    // The user page: "User" and "Company", creating the key when it is missing.
    bool WriteUser(const QString& user, const QString& company);
    // The shortcut: "LinkDir", only when the key exists (false otherwise). *error says why it failed.
    bool WriteLinkDir(const QString& linkDir, QString* error = nullptr);
    // One more file or created folder, as its real path (the links of its folder resolved); an entry
    // already listed is not listed again. *error says why it could not be listed.
    bool AddFile(const QString& path, QString* error = nullptr);
    bool AddFolder(const QString& path, QString* error = nullptr);
    // After a removal that left part of the installation: the lists of files and folders become
    // exactly files and folders, everything else stays. *error says why it failed.
    bool KeepOnly(const QStringList& files, const QStringList& folders, QString* error = nullptr);
    // Deletes the key with its subkeys; *error says why it could not.
    bool Delete(QString* error = nullptr);

    // A path that "path" and the lists can hold: one line without blanks at either end of "path".
    static bool CanHoldPath(const QString& path);

private:
    QStringList ReadList(const QString& subkey) const;
    static void WriteList(RegistryStore::Changes& changes, const QString& subkey, const QStringList& entries,
                          int firstNumber);
    bool Add(const QString& subkey, const QString& path, QString* error);

    RegistryStore store_;
};
