#include "InstallEnvironment.h"

#include "PlatformPaths.h"

#include <QDir>

#include <unistd.h>

namespace {

// $XDG_DATA_HOME when it is absolute, else ~/.local/share; empty without a home folder.
QString UserDataFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg);
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home)) return {};
    return QDir::cleanPath(home) + QStringLiteral("/.local/share");
}

} // namespace

InstallEnvironment InstallEnvironment::OfThisProcess(const QString& sourceFolder)
{
    InstallEnvironment environment;
    environment.RegistryFolder = PlatformPaths::RegistryFolder();
    environment.LibraryFolder = PlatformPaths::LibraryFolder();
    environment.SourceFolder = sourceFolder;
    environment.HomeFolder = QDir::cleanPath(QDir::homePath());
    if (::geteuid() == 0) {
        environment.ApplicationsFolder = QStringLiteral("/usr/local/share/applications");
        environment.DefaultInstallFolder = QStringLiteral("/opt/Corvane/Tarnvale/Enterprise");
        return environment;
    }
    if (qEnvironmentVariableIsEmpty("TARNVALE_REGISTRY_DIR") &&
        PlatformPaths::SystemRegistryFolder() != environment.RegistryFolder)
        environment.SystemRegistryFolder = PlatformPaths::SystemRegistryFolder();
    const QString data = UserDataFolder();
    if (!data.isEmpty()) {
        environment.ApplicationsFolder = data + QStringLiteral("/applications");
        environment.DefaultInstallFolder = data + QStringLiteral("/Corvane/Tarnvale/Enterprise");
    } else {
        environment.DefaultInstallFolder = QDir::homePath() + QStringLiteral("/Corvane/Tarnvale/Enterprise");
    }
    return environment;
}
