#include "InstallCopy.h"

#include "ReadOnlyAttribute.h"
#include "SystemText.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CopyResult Failed(const QString& error) { return {CopyResult::Outcome::Failed, error}; }

bool Exists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Why source cannot be copied, or empty.
QString SourceProblem(const QString& source)
{
    const QFileInfo from(source);
    if (!from.exists()) return QStringLiteral("源文件不存在");
    if (!from.isFile()) return QStringLiteral("源不是文件");
    return {};
}

// Writes source's bytes into a new file target (none may be there, not even a link), with the
// source's permission bits; 0 or the errno of the failure, after which no target is left.
int CopyBytes(const QString& source, const QString& target)
{
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    struct stat st {};
    const QByteArray targetName = QFile::encodeName(target);
    if (::fstat(in, &st) != 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    const int out = ::open(targetName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    int error = 0;
    char buffer[65536];
    while (error == 0) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) error = errno;
        if (got <= 0) break;
        for (ssize_t done = 0; done < got && error == 0;) {
            const ssize_t put = ::write(out, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) error = errno;
            else done += put;
        }
    }
    if (error == 0 && ::fchmod(out, st.st_mode & 0777) != 0) error = errno;
    if (::close(out) != 0 && error == 0) error = errno;
    ::close(in);
    if (error != 0) ::unlink(targetName.constData());
    return error;
}

} // namespace

CopyResult CopyKeepingTarget(const QString& source, const QString& target)
{
    if (Exists(target)) return {CopyResult::Outcome::TargetKept, {}};
    if (const QString problem = SourceProblem(source); !problem.isEmpty()) return Failed(problem);
    if (const int error = CopyBytes(source, target); error != 0) return Failed(SystemText::Reason(error));
    return {CopyResult::Outcome::Copied, {}};
}

CopyResult CopyReplacingReadOnly(const QString& source, const QString& target)
{
    // The old file goes only when the new one is there to take its place.
    if (const QString problem = SourceProblem(source); !problem.isEmpty()) return Failed(problem);
    const QFileInfo info(target);
    if (info.isFile() && !info.isSymLink() && ReadOnlyAttribute::IsSet(target)) {
        ReadOnlyAttribute::Clear(target);
        if (::unlink(QFile::encodeName(target).constData()) != 0) {
            const int error = errno;
            ReadOnlyAttribute::Set(target);
            return Failed(SystemText::Reason(error));
        }
    }
    return CopyKeepingTarget(source, target);
}
