// A folder whose entries nobody may change while this object lives, not even root (the file
// system's immutable flag); given a file, nobody may write, rename or replace it. Ok() is false
// where the file system or the process cannot set it.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

class ImmutableFolder {
public:
    explicit ImmutableFolder(const QString& path) : path_(QFile::encodeName(path)) { ok_ = Set(true); }
    ~ImmutableFolder() { Set(false); }
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;

    bool Ok() const { return ok_; }

private:
    bool Set(bool on)
    {
        const int fd = ::open(path_.constData(), O_RDONLY);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QByteArray path_;
    bool ok_ = false;
};

// A file locked the same way.
using ImmutableFile = ImmutableFolder;
