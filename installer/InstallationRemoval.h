// The removal, without widgets: deletes exactly the files the installations recorded, and only in
// the places an installation writes to (the installation folders the record named, the shortcut's
// folder inside the applications folder, the library folder); removes the folders they created
// when those are empty; deletes the record. Reads the record without ever creating it. Nothing is
// reached through a symbolic link: a folder replaced by one after the installation leads nowhere.
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
    int CountItems() const { return static_cast<int>(record_.Files.size()); }

    // Removes; itemDone runs after each recorded file, whatever became of it. Returns what stayed,
    // one line each ("path：reason"), the record too when its key could not be deleted ("hive file
    // [key]：reason"); a folder that stays only because a folder inside it stayed is not named again.
    QStringList Run(const std::function<void()>& itemDone);

    // An installation folder whose files may be deleted: absolute and not the root.
    static bool IsSafeInstallFolder(const QString& path);
    // A shortcut folder whose files may be deleted: absolute and inside the applications folder.
    static bool IsSafeLinkFolder(const QString& linkFolder, const QString& applicationsFolder);

private:
    // Why the recorded file may not be deleted, or empty.
    QString Refusal(const QString& file) const;

    InstallEnvironment environment_;
    InstallationRecord::Contents record_;
};
