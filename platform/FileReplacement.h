// A file written aside and put in place of the old one only when every byte reached it. A disk
// that takes only part of the bytes (full, or over a size limit) fails the write with the
// system's text, and the old file stays whole. QSaveFile alone does not do that: it buffers small
// writes, and its commit renames the file even when flushing them failed.
#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

class FileReplacement {
public:
    explicit FileReplacement(const QString& path);

    bool Open();
    // Writes all bytes; false once a write has failed.
    bool Write(const char* data, qint64 size);
    bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }
    // Puts the file in place of the old one; false, with the old file whole and nothing left
    // aside, when a write or the rename failed.
    bool Commit();

    // The system's text for the failure.
    QString ErrorText() const { return error_; }

private:
    bool Fail();

    QSaveFile file_;
    QString error_;
};
