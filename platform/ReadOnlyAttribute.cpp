#include "ReadOnlyAttribute.h"

#include <QFile>

#include <sys/stat.h>

namespace {

bool ModeOf(const QString& path, mode_t& mode)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return false;
    mode = st.st_mode;
    return true;
}

bool ChangeOwnerWrite(const QString& path, bool writable)
{
    mode_t mode = 0;
    if (!ModeOf(path, mode)) return false;
    mode_t wanted = writable ? (mode | S_IWUSR) : (mode & ~static_cast<mode_t>(S_IWUSR));
    if (wanted == mode) return true;
    return ::chmod(QFile::encodeName(path).constData(), wanted & 07777) == 0;
}

} // namespace

bool ReadOnlyAttribute::IsSet(const QString& path)
{
    mode_t mode = 0;
    return ModeOf(path, mode) && (mode & S_IWUSR) == 0;
}

bool ReadOnlyAttribute::Clear(const QString& path) { return ChangeOwnerWrite(path, true); }

bool ReadOnlyAttribute::Set(const QString& path) { return ChangeOwnerWrite(path, false); }
