#include "InstallationRemoval.h"

#include "FolderLevels.h"
#include "IniFile.h"
#include "LinkFreePath.h"

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

// The real folder that folder names now; empty when it is missing.
QString Resolved(const QString& folder) { return folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath(); }

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
    // The file must lie right in a place the installation writes to, as that place is named in the
    // record or as it really is now.
    const QString folder = QFileInfo(file).path();
    auto names = [&folder](const QString& place) {
        return !place.isEmpty() && (folder == Clean(place) || folder == Resolved(place));
    };
    // Any installation folder the record has named; one that is unsafe keeps its files.
    QStringList installFolders = record_.Paths;
    if (!installFolders.contains(record_.Path)) installFolders.append(record_.Path);
    bool inInstallFolder = false;
    for (const QString& place : installFolders) {
        if (!names(place)) continue;
        if (!IsSafeInstallFolder(place) || !IsSafeInstallFolder(Resolved(place)))
            return QStringLiteral("安装路径不安全，未删除");
        inInstallFolder = true;
    }
    if (inInstallFolder) return {};
    if (names(record_.LinkDir)) {
        if (!IsSafeLinkFolder(record_.LinkDir, environment_.ApplicationsFolder) ||
            !IsSafeLinkFolder(Resolved(record_.LinkDir), Resolved(environment_.ApplicationsFolder)))
            return QStringLiteral("快捷方式文件夹不在应用程序菜单的文件夹中，未删除");
        return {};
    }
    const QString& library = environment_.LibraryFolder;
    if (names(library) && IsSafeInstallFolder(library) && IsSafeInstallFolder(Resolved(library))) return {};
    return QStringLiteral("不在安装程序写入的位置，未删除");
}

QStringList InstallationRemoval::Run(const std::function<void()>& itemDone)
{
    QStringList stayed;
    if (!record_.Present) return stayed;
    for (const QString& file : record_.Files) {
        QString reason = Refusal(file);
        if (reason.isEmpty()) {
            const int result = LinkFreePath::RemoveFile(file);
            if (result == EISDIR)
                reason = QStringLiteral("是文件夹，未删除");
            else if (result == ELOOP)
                reason = QStringLiteral("路径中有符号链接，未删除");
            else if (result != 0)
                reason = QString::fromLocal8Bit(std::strerror(result));
        }
        // Named only when something stands there.
        struct stat st {};
        if (!reason.isEmpty() && ::lstat(QFile::encodeName(file).constData(), &st) == 0)
            stayed.append(file + Separator + reason);
        itemDone();
    }
    // The key goes first: the hive file it was written to, left empty, and the registry's folder may
    // then go too. The other hive is no file of the installation's.
    const RegistryStore registry = environment_.Registry();
    QString error;
    if (!InstallationRecord(registry).Delete(&error))
        stayed.append(registry.HiveFile(InstallationRecord::Hive) + QStringLiteral(" [") + InstallationRecord::KeyPath +
                      u']' + Separator + error);
    IniFile hiveFile(registry.HiveFile(InstallationRecord::Hive));
    if (hiveFile.Load() && hiveFile.Exists() && hiveFile.Bytes().trimmed().isEmpty()) QFile::remove(hiveFile.Path());
    const QStringList kept = RemoveEmptyFolders(record_.Folders);
    for (const QString& folder : kept) {
        const bool keptForAnother = std::any_of(kept.begin(), kept.end(), [&](const QString& inner) {
            return IsInside(inner, folder);
        });
        if (!keptForAnother) stayed.append(folder + Separator + QStringLiteral("文件夹中还有其他文件，已保留"));
    }
    return stayed;
}
