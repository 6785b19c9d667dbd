// The accesses to "Tarnvale.ini": where the file is, and the read-only attribute that it carries
// between accesses (cleared before an access, set after it).
#pragma once

#include "IniFile.h"

#include <QString>

#include <functional>

class SettingsFile {
public:
    enum class WhenMissing { Skip, Create };

    // installPath ends in "/". The second form states whether the user may write the installed file.
    explicit SettingsFile(const QString& installPath);
    SettingsFile(const QString& installPath, bool installedWritable);

    // The file that reads use: the per-user copy when it exists, else the installed file.
    const QString& ReadPath() const { return readPath_; }
    bool Exists() const;

    // A read that leaves the attributes alone; a missing or unreadable file reads as empty.
    IniFile ReadUntouched() const;

    // A read under the read-only rule, only when the file exists (true without reading otherwise);
    // false when the file cannot be read.
    bool ReadGuarded(const std::function<void(const IniFile&)>& read, QString* error = nullptr) const;

    // A write under the read-only rule. edit changes the loaded file in memory and may fail (then
    // nothing is written); a change is saved through a temporary file to the write target (the
    // per-user copy is made here from the installed text when writes go there). A missing file is
    // skipped (true, nothing written) or created, also when edit changes nothing. The read-only
    // attribute is set afterwards on every file of the access that exists, also after a failure.
    bool Write(WhenMissing whenMissing, const std::function<bool(IniFile&)>& edit, QString* error = nullptr) const;

private:
    QString installPath_;
    bool installedWritable_;
    QString readPath_;
};
