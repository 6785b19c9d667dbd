// The removal, without widgets: deletes the files the installations recorded, but only the names the
// installation writes and only in the places it writes them to (an installation folder the record
// named, the menu entry's folder, the library folder); removes the folders they created when those
// are empty; deletes the record when nothing of the installation is left, and otherwise keeps in it
// exactly what stayed, so that a second removal takes the rest. Reads the record without ever
// creating it. Nothing is reached through a symbolic link: a folder replaced by one after the
// installation leads nowhere. A record is a file the user can edit: whatever else it names is left
// alone and said.
#pragma once

#include "InstallEnvironment.h"
#include "InstallationRecord.h"

#include <QString>
#include <QStringList>

#include <functional>

class InstallationRemoval {
public:
    // Reads the record as it is now.
    explicit InstallationRemoval(InstallEnvironment environment);

    const InstallationRecord::Contents& Record() const { return record_; }
    // The progress steps: one per recorded file.
    int CountRemovalItems() const { return static_cast<int>(record_.Files.size()); }

    // Replaces list with the recorded files that lie right in folder and bear a name the
    // installation writes there, sorted without regard to case; 0 when one was listed, else -1.
    int ListFolderFiles(const QString& folder, QStringList& list) const;

    // Removes; itemDone runs after each recorded file, whatever became of it. Returns what stayed,
    // one line each ("path：reason"), the record too when it could not be deleted or kept ("hive file
    // [key]：reason"); a folder that stays only because a folder inside it stayed is not named again.
    QStringList RemoveInstalledFiles(const std::function<void()>& itemDone);

    // An installation folder whose files may be deleted: absolute and not the root.
    static bool IsSafeInstallFolder(const QString& path);
    // Why path may not be an installation folder (a name the record cannot hold, the root, the
    // home folder, a system folder or a folder above one of them), or empty.
    static QString InstallFolderRefusal(const QString& path, const InstallEnvironment& environment);
    // A shortcut folder whose files may be deleted: absolute and inside the applications folder.
    static bool IsSafeLinkFolder(const QString& linkFolder, const QString& applicationsFolder);

private:
    // Why the recorded file may not be deleted, or empty.
    QString Refusal(const QString& file) const;
    // The installation folders of the record that are no refused place.
    QStringList InstallFolders() const;
    // Whether the recorded folder is one the installation makes: a place it writes to or a folder
    // above one, never the home folder, a system folder or a folder above either.
    bool IsInstallationFolder(const QString& folder) const;
    // The menu entry's folder, as the installation names it.
    QString LinkFolder() const;

    InstallEnvironment environment_;
    InstallationRecord::Contents record_;
};
