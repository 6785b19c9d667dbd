#include "InstallationRemoval.h"

#include "FolderLevels.h"
#include "IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

const QString Separator = QStringLiteral("：");

QString Clean(const QString& path) { return QDir::cleanPath(path); }

bool IsInside(const QString& inner, const QString& outer)
{
    const QString folder = Clean(outer);
    return Clean(inner).startsWith(folder == QStringLiteral("/") ? folder : folder + u'/');
}

} // namespace

InstallationRemoval::InstallationRemoval(InstallEnvironment environment)
    : environment_(std::move(environment)), record_(InstallationRecord(environment_.Registry()).Read())
{
}

bool InstallationRemoval::IsSafeInstallFolder(const QString& path)
{
    return !path.isEmpty() && QDir::isAbsolutePath(path) && Clean(path) != QStringLiteral("/");
}

bool InstallationRemoval::IsSafeLinkFolder(const QString& linkFolder, const QString& applicationsFolder)
{
    return !linkFolder.isEmpty() && QDir::isAbsolutePath(linkFolder) && IsSafeInstallFolder(applicationsFolder) &&
           IsInside(linkFolder, applicationsFolder);
}

QString InstallationRemoval::Refusal(const QString& file) const
{
    if (!QDir::isAbsolutePath(file)) return QStringLiteral("不是绝对路径，未删除");
    const QString folder = Clean(QFileInfo(file).path());
    if (folder == Clean(record_.Path)) {
        if (!IsSafeInstallFolder(record_.Path)) return QStringLiteral("安装路径不安全，未删除");
        return {};
    }
    if (!record_.LinkDir.isEmpty() && folder == Clean(record_.LinkDir)) {
        if (!IsSafeLinkFolder(record_.LinkDir, environment_.ApplicationsFolder))
            return QStringLiteral("快捷方式文件夹不在应用程序菜单的文件夹中，未删除");
        return {};
    }
    if (IsSafeInstallFolder(environment_.LibraryFolder) && folder == Clean(environment_.LibraryFolder)) return {};
    return QStringLiteral("不在安装程序写入的位置，未删除");
}

QStringList InstallationRemoval::Run(const std::function<void()>& itemDone)
{
    QStringList stayed;
    if (!record_.Present) return stayed;
    for (const QString& file : record_.Files) {
        const QString refusal = Refusal(file);
        const QByteArray name = QFile::encodeName(file);
        struct stat st {};
        if (!refusal.isEmpty()) {
            if (::lstat(name.constData(), &st) == 0) stayed.append(file + Separator + refusal);
        } else if (::lstat(name.constData(), &st) == 0) {
            if (S_ISDIR(st.st_mode))
                stayed.append(file + Separator + QStringLiteral("是文件夹，未删除"));
            else if (::unlink(name.constData()) != 0)
                stayed.append(file + Separator + QString::fromLocal8Bit(std::strerror(errno)));
        }
        itemDone();
    }
    // The key goes first: its hive file, left empty, and the registry's folder may then go too.
    const RegistryStore registry = environment_.Registry();
    InstallationRecord(registry).Delete();
    for (const RegistryHive hive : {RegistryHive::LocalMachine, RegistryHive::CurrentUser}) {
        IniFile hiveFile(registry.HiveFile(hive));
        if (hiveFile.Load() && hiveFile.Exists() && hiveFile.Bytes().trimmed().isEmpty()) QFile::remove(hiveFile.Path());
    }
    const QStringList kept = RemoveEmptyFolders(record_.Folders);
    for (const QString& folder : kept) {
        const bool keptForAnother = std::any_of(kept.begin(), kept.end(), [&](const QString& inner) {
            return IsInside(inner, folder);
        });
        if (!keptForAnother) stayed.append(folder + Separator + QStringLiteral("文件夹中还有其他文件，已保留"));
    }
    return stayed;
}
