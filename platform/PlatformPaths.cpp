#include "PlatformPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

QString PlatformPaths::ProgramFolder()
{
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

QString PlatformPaths::UserConfigFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg);
    return QDir::homePath() + QStringLiteral("/.config");
}

QString PlatformPaths::RegistryFolder()
{
    const QString overridden = qEnvironmentVariable("TARNVALE_REGISTRY_DIR");
    if (!overridden.isEmpty()) return QDir::cleanPath(overridden);
    if (::geteuid() == 0) return SystemRegistryFolder();
    return UserConfigFolder() + QStringLiteral("/Corvane/registry");
}

QString PlatformPaths::SystemRegistryFolder() { return QStringLiteral("/etc/Corvane/registry"); }

QString PlatformPaths::LibraryFolder()
{
    const QString overridden = qEnvironmentVariable("TARNVALE_LIBDIR");
    if (!overridden.isEmpty()) return QDir::cleanPath(overridden);
    if (::geteuid() == 0) return SystemLibraryFolder();
    return QDir::homePath() + QStringLiteral("/.local/lib");
}

QString PlatformPaths::SystemLibraryFolder() { return QStringLiteral("/usr/local/lib"); }

QString PlatformPaths::UserIniPath() { return UserConfigFolder() + QStringLiteral("/Corvane/") + IniFileName; }

QString PlatformPaths::InstalledIniPath(const QString& installPath) { return installPath + IniFileName; }

QString PlatformPaths::IniReadPath(const QString& installPath)
{
    const QString user = UserIniPath();
    if (QFileInfo::exists(user)) return user;
    return InstalledIniPath(installPath);
}

bool PlatformPaths::CanWriteInstalledIni(const QString& installPath)
{
    const QString file = InstalledIniPath(installPath);
    const QString folder = QFileInfo(file).absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0) return false;
    struct stat st {};
    const QByteArray name = QFile::encodeName(file);
    if (::stat(name.constData(), &st) != 0) return true;
    return ::access(name.constData(), W_OK) == 0 || st.st_uid == ::geteuid();
}

QString PlatformPaths::IniWritePath(const QString& installPath, bool installedWritable)
{
    const QString user = UserIniPath();
    if (QFileInfo::exists(user) || !installedWritable) return user;
    return InstalledIniPath(installPath);
}

QString PlatformPaths::IniWritePath(const QString& installPath)
{
    return IniWritePath(installPath, CanWriteInstalledIni(installPath));
}
