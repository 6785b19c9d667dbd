#include "LinkFreePath.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsDotName(const QByteArray& name) { return name == "." || name == ".."; }

// The absolute folder opened for the *at calls, each level opened without following a link;
// -1 with errno set otherwise.
int OpenFolder(const QByteArray& folder)
{
    if (!folder.startsWith('/')) {
        errno = EINVAL;
        return -1;
    }
    int fd = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    for (const QByteArray& level : folder.split('/')) {
        if (fd < 0) break;
        if (level.isEmpty()) continue;
        if (IsDotName(level)) {
            ::close(fd);
            errno = EINVAL;
            return -1;
        }
        const int next = ::openat(fd, level.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        int error = errno;
        struct stat st {};
        if (next < 0 && ::fstatat(fd, level.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
            error = ELOOP;
        ::close(fd);
        fd = next;
        errno = error;
    }
    return fd;
}

// Opens the folder of path and hands it with the last name to remove; 0 or an errno.
template <class Remove>
int RemoveAt(const QString& path, Remove remove)
{
    const QByteArray bytes = QFile::encodeName(path);
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray name = slash < 0 ? bytes : bytes.mid(slash + 1);
    if (slash < 0 || name.isEmpty() || IsDotName(name)) return EINVAL;
    const int folder = OpenFolder(slash == 0 ? QByteArray("/") : bytes.left(slash));
    if (folder < 0) return errno;
    struct stat st {};
    const int result = ::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 ? remove(folder, name, st) : errno;
    ::close(folder);
    return result;
}

} // namespace

QString LinkFreePath::RealPlace(const QString& path)
{
    if (!QDir::isAbsolutePath(path)) return path;
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.path()).canonicalFilePath();
    if (folder.isEmpty() || info.fileName().isEmpty()) return path;
    return (folder.endsWith(u'/') ? folder : folder + u'/') + info.fileName();
}

int LinkFreePath::RemoveFile(const QString& path)
{
    return RemoveAt(path, [](int folder, const QByteArray& name, const struct stat& st) {
        if (S_ISDIR(st.st_mode)) return EISDIR;
        return ::unlinkat(folder, name.constData(), 0) == 0 ? 0 : errno;
    });
}

int LinkFreePath::RemoveEmptyFolder(const QString& path)
{
    return RemoveAt(path, [](int folder, const QByteArray& name, const struct stat& st) {
        if (!S_ISDIR(st.st_mode)) return ENOTDIR;
        return ::unlinkat(folder, name.constData(), AT_REMOVEDIR) == 0 ? 0 : errno;
    });
}
