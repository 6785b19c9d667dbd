// A file written aside and put in place of the old one only when every byte reached it. A disk
// that takes only part of the bytes (full, or over a size limit) fails the write with the
// system's text, and the old file stays whole. QSaveFile alone does not do that: it buffers small
// writes, and its commit renames the file even when flushing them failed.
#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <functional>

class FileReplacement {
public:
    explicit FileReplacement(const QString& path);

    bool Open();
    // Writes all bytes; false once a write has failed.
    bool Write(const char* data, qint64 size);
    bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }
    // Syncs the file to the disk and puts it in place of the old one; false, with the old file
    // whole and nothing left aside, when a write, the sync or the rename failed.
    bool Commit();

    // The system's text for the failure.
    QString ErrorText() const { return error_; }

    // The sync of the last step (fsync unless replaced; empty puts fsync back): a test's own makes
    // that step fail as a disk can, or changes the target just before the rename.
    using SyncFunction = std::function<int(int fd)>;
    static void SetSync(SyncFunction sync);

private:
    bool Fail();

    QSaveFile file_;
    QString error_;
};
