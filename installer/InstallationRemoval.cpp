#include "InstallationRemoval.h"

#include "FolderLevels.h"
#include "IniFile.h"
#include "InstallationRun.h"
#include "InstallerGlobals.h"
#include "LinkFreePath.h"
#include "SystemText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace InstallerGlobals;

namespace {

const QString Separator = QStringLiteral("：");

// The folders every system has, which no installation makes or takes away.
const QStringList SystemFolders = {
    QStringLiteral("/bin"),           QStringLiteral("/boot"),           QStringLiteral("/dev"),
    QStringLiteral("/etc"),           QStringLiteral("/home"),           QStringLiteral("/lib"),
    QStringLiteral("/lib32"),         QStringLiteral("/lib64"),          QStringLiteral("/libx32"),
    QStringLiteral("/media"),         QStringLiteral("/mnt"),            QStringLiteral("/opt"),
    QStringLiteral("/proc"),          QStringLiteral("/root"),           QStringLiteral("/run"),
    QStringLiteral("/sbin"),          QStringLiteral("/srv"),            QStringLiteral("/sys"),
    QStringLiteral("/tmp"),           QStringLiteral("/usr"),            QStringLiteral("/var"),
    QStringLiteral("/usr/bin"),       QStringLiteral("/usr/games"),      QStringLiteral("/usr/include"),
    QStringLiteral("/usr/lib"),       QStringLiteral("/usr/lib32"),      QStringLiteral("/usr/lib64"),
    QStringLiteral("/usr/libexec"),   QStringLiteral("/usr/libx32"),     QStringLiteral("/usr/local"),
    QStringLiteral("/usr/sbin"),      QStringLiteral("/usr/share"),      QStringLiteral("/usr/src"),
    QStringLiteral("/usr/local/bin"), QStringLiteral("/usr/local/etc"),  QStringLiteral("/usr/local/games"),
    QStringLiteral("/usr/local/include"), QStringLiteral("/usr/local/lib"), QStringLiteral("/usr/local/man"),
    QStringLiteral("/usr/local/sbin"), QStringLiteral("/usr/local/share"), QStringLiteral("/usr/local/src"),
    QStringLiteral("/var/cache"),     QStringLiteral("/var/lib"),        QStringLiteral("/var/local"),
    QStringLiteral("/var/log"),       QStringLiteral("/var/mail"),       QStringLiteral("/var/opt"),
    QStringLiteral("/var/spool"),     QStringLiteral("/var/tmp"),
};

QString Clean(const QString& path) { return QDir::cleanPath(path); }

// The real folder that folder names now; empty when it is missing.
QString Resolved(const QString& folder) { return folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath(); }

// The ways a place may be written: as named, as it really is now, and with the links above it resolved.
QStringList Forms(const QString& place)
{
    QStringList forms;
    if (place.isEmpty() || !QDir::isAbsolutePath(place)) return forms;
    for (const QString& form : {Clean(place), Resolved(place), Clean(LinkFreePath::RealPlace(place))})
        if (!form.isEmpty() && !forms.contains(form)) forms.append(form);
    return forms;
}

bool IsInside(const QString& inner, const QString& outer)
{
    const QString folder = Clean(outer);
    return Clean(inner).startsWith(folder == QStringLiteral("/") ? folder : folder + u'/');
}

bool IsInsideOrSame(const QString& inner, const QString& outer)
{
    return Clean(inner) == Clean(outer) || IsInside(inner, outer);
}

// The home folder, a system folder or a folder above one of them, in any of its forms.
bool IsProtected(const QString& folder, const InstallEnvironment& environment)
{
    QStringList protectedFolders = SystemFolders;
    protectedFolders += Forms(environment.HomeFolder);
    for (const QString& form : Forms(folder))
        for (const QString& kept : protectedFolders)
            if (IsInsideOrSame(kept, form)) return true;
    return false;
}

bool Present(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool NotEmpty(int error) { return error == ENOTEMPTY || error == EEXIST; }

} // namespace

InstallationRemoval::InstallationRemoval(InstallEnvironment environment)
    : environment_(std::move(environment)), record_(InstallationRecord(environment_.Registry()).Read())
{
}

bool InstallationRemoval::IsSafeInstallFolder(const QString& path)
{
    return !path.isEmpty() && QDir::isAbsolutePath(path) && Clean(path) != QStringLiteral("/");
}

QString InstallationRemoval::InstallFolderRefusal(const QString& path, const InstallEnvironment& environment)
{
    if (!InstallationRecord::CanHoldPath(path)) return QStringLiteral("文件夹名称的开头或结尾是空白，或含有换行");
    if (!IsSafeInstallFolder(path)) return QStringLiteral("不是绝对路径，或是根目录");
    if (IsProtected(path, environment)) return QStringLiteral("是主文件夹、系统文件夹或它们的上级文件夹");
    return {};
}

bool InstallationRemoval::IsSafeLinkFolder(const QString& linkFolder, const QString& applicationsFolder)
{
    return !linkFolder.isEmpty() && QDir::isAbsolutePath(linkFolder) && IsSafeInstallFolder(applicationsFolder) &&
           IsInside(linkFolder, applicationsFolder);
}

QStringList InstallationRemoval::InstallFolders() const
{
    QStringList all = record_.Paths;
    if (!all.contains(record_.Path)) all.append(record_.Path);
    QStringList folders;
    for (const QString& place : all)
        if (!place.isEmpty() && InstallFolderRefusal(place, environment_).isEmpty()) folders.append(place);
    return folders;
}

QString InstallationRemoval::LinkFolder() const
{
    if (!IsSafeInstallFolder(environment_.ApplicationsFolder)) return {};
    return Clean(environment_.ApplicationsFolder) + u'/' + InstallationRun::LinkName();
}

QString InstallationRemoval::Refusal(const QString& file) const
{
    if (!QDir::isAbsolutePath(file)) return QStringLiteral("不是绝对路径，未删除");
    // The file must lie right in a place the installation writes to, as that place is named in the
    // record or as it really is now, and bear a name the installation writes there.
    const QFileInfo info(file);
    const QString folder = info.path();
    const QString name = info.fileName();
    auto names = [&folder](const QString& place) {
        return !place.isEmpty() && (folder == Clean(place) || folder == Resolved(place));
    };
    bool inPlace = false;
    // Any installation folder the record has named; one that is unsafe keeps its files.
    QStringList installFolders = record_.Paths;
    if (!installFolders.contains(record_.Path)) installFolders.append(record_.Path);
    for (const QString& place : installFolders) {
        if (!names(place)) continue;
        const QString resolved = Resolved(place);
        if (!InstallFolderRefusal(place, environment_).isEmpty() ||
            (!resolved.isEmpty() && !InstallFolderRefusal(resolved, environment_).isEmpty()))
            return QStringLiteral("安装路径不安全，未删除");
        inPlace = true;
        if (IsInstallFolderName(name)) return {};
    }
    if (names(record_.LinkDir)) {
        const QString linkFolder = LinkFolder();
        if (!IsSafeLinkFolder(record_.LinkDir, environment_.ApplicationsFolder) ||
            !IsSafeLinkFolder(Resolved(record_.LinkDir), Resolved(environment_.ApplicationsFolder)) ||
            !(Clean(record_.LinkDir) == linkFolder || Resolved(record_.LinkDir) == Resolved(linkFolder)))
            return QStringLiteral("快捷方式文件夹不是安装程序写入的文件夹，未删除");
        inPlace = true;
        if (name == InstallationRun::LinkName() + QStringLiteral(".desktop")) return {};
    }
    const QString& library = environment_.LibraryFolder;
    if (names(library) && IsSafeInstallFolder(library) && IsSafeInstallFolder(Resolved(library))) {
        inPlace = true;
        if (SystemLibraryNames.contains(name)) return {};
    }
    return inPlace ? QStringLiteral("不是安装程序写入的文件，未删除") : QStringLiteral("不在安装程序写入的位置，未删除");
}

int InstallationRemoval::ListFolderFiles(const QString& folder, QStringList& list) const
{
    list.clear();
    if (folder.isEmpty()) return -1;
    const QString named = Clean(folder);
    const QString resolved = Resolved(folder);
    for (const QString& file : record_.Files) {
        const QString in = QFileInfo(file).path();
        if ((in == named || (!resolved.isEmpty() && in == resolved)) && !list.contains(file) && Refusal(file).isEmpty())
            list.append(file);
    }
    std::sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return list.isEmpty() ? -1 : 0;
}

bool InstallationRemoval::IsInstallationFolder(const QString& folder) const
{
    if (!QDir::isAbsolutePath(folder) || IsProtected(folder, environment_)) return false;
    QStringList anchors = InstallFolders();
    anchors << LinkFolder() << environment_.LibraryFolder << environment_.RegistryFolder;
    for (const QString& anchor : anchors)
        for (const QString& form : Forms(anchor))
            if (IsInsideOrSame(form, folder)) return true;
    return false;
}

QStringList InstallationRemoval::RemoveInstalledFiles(const std::function<void()>& itemDone)
{
    QStringList stayed;
    if (!record_.Present) return stayed;
    // The files of the installation that could not be deleted: the record keeps them.
    QStringList keptFiles;
    auto remove = [&](const QString& file) {
        const int result = LinkFreePath::RemoveFile(file);
        if (result == 0 || result == ENOENT || !Present(file)) return;
        if (result == EISDIR)
            stayed.append(file + Separator + QStringLiteral("是文件夹，未删除"));
        else if (result == ELOOP)
            stayed.append(file + Separator + QStringLiteral("路径中有符号链接，未删除"));
        else {
            stayed.append(file + Separator + SystemText::Reason(result) + QStringLiteral("，未删除"));
            keptFiles.append(file);
        }
    };
    QSet<QString> handled;
    QStringList places = InstallFolders();
    places << record_.LinkDir << environment_.LibraryFolder;
    for (const QString& place : places) {
        QStringList files;
        if (ListFolderFiles(place, files) != 0) continue;
        for (const QString& file : files) {
            if (handled.contains(file)) continue;
            handled.insert(file);
            remove(file);
            itemDone();
        }
    }
    // What the record names beyond that is no file of the installation's: it stays as it is.
    for (const QString& file : record_.Files) {
        if (handled.remove(file)) continue;
        const QString reason = Refusal(file);
        if (!reason.isEmpty() && Present(file)) stayed.append(file + Separator + reason);
        itemDone();
    }

    // The registry's folder holds the record, so it can go only after the record.
    QStringList folders;
    QStringList registryLevels;
    for (const QString& folder : record_.Folders) {
        if (!IsInstallationFolder(folder)) {
            if (Present(folder)) stayed.append(folder + Separator + QStringLiteral("不是安装程序建立的文件夹，未删除"));
        } else if (IsInsideOrSame(environment_.RegistryFolder, folder)) {
            registryLevels.append(folder);
        } else {
            folders.append(folder);
        }
    }
    QMap<QString, int> errors;
    QStringList kept = RemoveEmptyFolders(folders, &errors);
    // A folder stays in the record when it could not be removed, or holds what the record keeps.
    QStringList keptFolders;
    QStringList innermostFirst = kept;
    std::stable_sort(innermostFirst.begin(), innermostFirst.end(),
                     [](const QString& a, const QString& b) { return a.count(u'/') > b.count(u'/'); });
    for (const QString& folder : innermostFirst) {
        auto inside = [&folder](const QString& path) { return IsInside(path, folder); };
        if (!NotEmpty(errors.value(folder)) || std::any_of(keptFiles.begin(), keptFiles.end(), inside) ||
            std::any_of(keptFolders.begin(), keptFolders.end(), inside))
            keptFolders.append(folder);
    }

    const RegistryStore registry = environment_.Registry();
    const QString recordName =
        registry.HiveFile(InstallationRecord::Hive) + QStringLiteral(" [") + InstallationRecord::KeyPath + u']';
    QString error;
    if (!keptFiles.isEmpty() || !keptFolders.isEmpty()) {
        // Part of the installation is left: the record names exactly that, for a second removal.
        QStringList recordFolders;
        for (const QString& folder : record_.Folders)
            if (keptFolders.contains(Clean(folder)) || registryLevels.contains(folder)) recordFolders.append(folder);
        if (!InstallationRecord(registry).KeepOnly(keptFiles, recordFolders, &error))
            stayed.append(recordName + Separator + SystemText::InChinese(error));
    } else {
        // The key goes first: the hive file it was written to, left empty, and the registry's
        // folder may then go too. The other hive is no file of the installation's.
        if (!InstallationRecord(registry).Delete(&error))
            stayed.append(recordName + Separator + SystemText::InChinese(error));
        IniFile hiveFile(registry.HiveFile(InstallationRecord::Hive));
        if (hiveFile.Load() && hiveFile.Exists() && hiveFile.Bytes().trimmed().isEmpty()) QFile::remove(hiveFile.Path());
        kept += RemoveEmptyFolders(registryLevels, &errors);
    }
    for (const QString& folder : kept) {
        const bool keptForAnother = std::any_of(kept.begin(), kept.end(), [&](const QString& inner) {
            return IsInside(inner, folder);
        });
        if (keptForAnother) continue;
        const int result = errors.value(folder);
        stayed.append(folder + Separator +
                      (NotEmpty(result) ? QStringLiteral("文件夹中还有其他文件，已保留")
                                        : SystemText::Reason(result) + QStringLiteral("，未删除")));
    }
    return stayed;
}
