// The copy rules of the installation: a target that exists is kept (never overwritten), except
// where a read-only target is to be replaced.
#pragma once

#include <QString>

struct CopyResult {
    enum class Outcome { Copied, TargetKept, Failed };
    Outcome Result = Outcome::Failed;
    QString Error; // why it failed

    bool Done() const { return Result != Outcome::Failed; }
};

// Copies source to target unless target exists (also as a link); the copy keeps the source's
// permission bits. A missing source, an unreadable source or an unwritable folder fails.
CopyResult CopyKeepingTarget(const QString& source, const QString& target);

// As CopyKeepingTarget, but a target that exists and is read-only is deleted first and replaced; a
// writable target stays as it is.
CopyResult CopyReplacingReadOnly(const QString& source, const QString& target);
