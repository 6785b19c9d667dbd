#include "FileReplacement.h"

#include <cerrno>

#include <unistd.h>

namespace {

FileReplacement::SyncFunction& Sync()
{
    static FileReplacement::SyncFunction sync;
    return sync;
}

} // namespace

void FileReplacement::SetSync(SyncFunction sync) { Sync() = std::move(sync); }

FileReplacement::FileReplacement(const QString& path) : file_(path) {}

bool FileReplacement::Fail()
{
    error_ = file_.errorString();
    file_.cancelWriting();
    return false;
}

bool FileReplacement::Open()
{
    // Unbuffered: every write reaches the file at once, so its failure is seen where it happens.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error_ = file_.errorString();
        return false;
    }
    return true;
}

bool FileReplacement::Write(const char* data, qint64 size)
{
    while (size > 0) {
        // A disk that takes part of a write says why only when asked for the rest.
        const qint64 written = file_.write(data, size);
        if (written <= 0) return Fail();
        data += written;
        size -= written;
    }
    return true;
}

bool FileReplacement::Commit()
{
    // QSaveFile syncs before its rename but ignores the sync's failure: bytes the disk may not
    // hold must not take the old file's place.
    const int fd = file_.handle();
    if ((Sync() ? Sync()(fd) : ::fsync(fd)) != 0) {
        error_ = qt_error_string(errno);
        file_.cancelWriting();
        return false;
    }
    if (!file_.commit()) {
        error_ = file_.errorString();
        return false;
    }
    return true;
}
