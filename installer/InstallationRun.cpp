#include "InstallationRun.h"

#include "DesktopEntry.h"
#include "FileListing.h"
#include "FolderLevels.h"
#include "InstallCopy.h"
#include "InstallerGlobals.h"
#include "LinkFreePath.h"
#include "SystemText.h"

#include <QFileInfo>

#include <utility>

using namespace InstallerGlobals;

namespace {

const QString NoSuchFiles = QStringLiteral("安装介质中没有这些文件");

// Why a file or folder that the record could not hold counts as not installed: the removal could
// never take it away, so it was taken away at once, unless even that failed.
QString NotRecorded(const QString& error, bool takenBack)
{
    return QStringLiteral("未能记入安装记录（%1），").arg(SystemText::InChinese(error)) +
           (takenBack ? QStringLiteral("已删除") : QStringLiteral("卸载时不会删除"));
}

bool RemoveWrittenFile(const QString& file) { return LinkFreePath::RemoveFile(LinkFreePath::RealPlace(file)) == 0; }

// The names of mask in folder that the installation writes: whatever else a medium holds is not
// installed, since the removal would never take it away.
QStringList InstalledNames(const QString& mask, const QString& folder)
{
    QStringList names;
    ListFilesByMask(names, mask, folder);
    const QStringList& known = mask == LibraryMask ? SystemLibraryNames : DataFileNames;
    names.removeIf([&known](const QString& name) { return !known.contains(name); });
    return names;
}

} // namespace

int InstallationRun::CountItems(const QString& sourceFolder)
{
    return static_cast<int>(InstalledNames(LibraryMask, sourceFolder).size() +
                            InstalledNames(DataMask, sourceFolder).size()) +
           3;
}

QString InstallationRun::ProgramTargetName(const QString& sourceName)
{
    const qsizetype at = sourceName.toUpper().indexOf(QStringLiteral(".EX_"));
    return at < 0 ? sourceName : sourceName.left(at);
}

QString InstallationRun::LinkName() { return ProductName + u' ' + ProductVersion; }

InstallationRun::InstallationRun(InstallEnvironment environment, QString sourceFolder, QString installFolder)
    : environment_(std::move(environment)),
      sourceFolder_(WithTrailingSlash(sourceFolder)),
      installFolder_(WithTrailingSlash(installFolder)),
      record_(environment_.Registry())
{
}

bool InstallationRun::MakeFolder(const QString& folder)
{
    QStringList created;
    QString error;
    if (!CreateFolderLevels(folder, &created, &error)) {
        Fail(folder, error);
        return false;
    }
    for (const QString& level : created)
        if (!record_.AddFolder(level, &error)) {
            Fail(folder, NotRecorded(error, RemoveEmptyFolders(created).isEmpty()));
            return false;
        }
    return true;
}

bool InstallationRun::RecordFile(const QString& file)
{
    QString error;
    if (record_.AddFile(file, &error)) {
        installed_.append(file);
        return true;
    }
    Fail(file, NotRecorded(error, RemoveWrittenFile(file)));
    return false;
}

void InstallationRun::CopyOne(const QString& source, const QString& target, bool replaceReadOnly,
                              bool sourceOptional, Observer& observer)
{
    if (sourceOptional && !QFileInfo::exists(source)) {
        observer.ItemDone();
        return;
    }
    const CopyResult result = replaceReadOnly ? CopyReplacingReadOnly(source, target) : CopyKeepingTarget(source, target);
    if (!result.Done()) {
        Fail(target, result.Error);
        return;
    }
    if (result.Result == CopyResult::Outcome::Copied && !RecordFile(target)) return;
    observer.ItemDone();
}

void InstallationRun::CopyGroup(const QString& mask, const QString& targetFolder, Observer& observer)
{
    const QStringList names = InstalledNames(mask, sourceFolder_);
    if (names.isEmpty()) {
        observer.FilesMissing();
        Fail(sourceFolder_ + mask, NoSuchFiles);
        return;
    }
    for (const QString& name : names) CopyOne(sourceFolder_ + name, targetFolder + name, false, false, observer);
}

QList<InstallationRun::Failure> InstallationRun::Run(Observer& observer)
{
    failures_.clear();
    installed_.clear();
    // A user's library folder may not be there yet.
    if (environment_.LibraryFolder.isEmpty())
        Fail(LibraryMask, QStringLiteral("无法确定库文件的文件夹"));
    else if (MakeFolder(environment_.LibraryFolder))
        CopyGroup(LibraryMask, WithTrailingSlash(environment_.LibraryFolder), observer);
    CopyGroup(DataMask, installFolder_, observer);
    CopyOne(sourceFolder_ + ConfigFileName, installFolder_ + ConfigFileName, false, true, observer);
    InstallProgram(observer);
    for (const QString& name : ExtraFileNames) CopyOne(sourceFolder_ + name, installFolder_ + name, true, false, observer);
    return failures_;
}

void InstallationRun::InstallProgram(Observer& observer)
{
    QStringList names;
    ListFilesByMask(names, ProgramMask, sourceFolder_);
    names.removeIf([](const QString& name) { return ProgramTargetName(name) != ProgramName; });
    if (names.isEmpty()) {
        observer.FilesMissing();
        Fail(sourceFolder_ + ProgramMask, NoSuchFiles);
        return;
    }
    for (const QString& name : names) {
        const QString target = installFolder_ + ProgramTargetName(name);
        const CopyResult program = CopyReplacingReadOnly(sourceFolder_ + name, target);
        if (!program.Done()) {
            Fail(target, program.Error);
            continue;
        }
        if (program.Result == CopyResult::Outcome::Copied && !RecordFile(target)) continue;
        // The shortcut's icon; without it the shortcut shows the desktop's default.
        QString icon = installFolder_ + IconFileName;
        const CopyResult iconCopy = CopyReplacingReadOnly(sourceFolder_ + IconFileName, icon);
        if (!iconCopy.Done() || (iconCopy.Result == CopyResult::Outcome::Copied && !RecordFile(icon))) icon.clear();
        if (CreateProgramShortcut(target, icon, observer)) observer.ItemDone();
    }
}

bool InstallationRun::CreateProgramShortcut(const QString& target, const QString& icon, Observer& observer)
{
    if (environment_.ApplicationsFolder.isEmpty()) {
        Fail(LinkName(), QStringLiteral("无法确定应用程序菜单的文件夹"));
        return false;
    }
    const QString linkFolder = WithTrailingSlash(environment_.ApplicationsFolder) + LinkName();
    if (!MakeFolder(linkFolder)) return false;
    const QString linkPath = linkFolder + u'/' + LinkName() + QStringLiteral(".desktop");
    DesktopEntry::Shortcut shortcut;
    shortcut.Name = LinkName();
    shortcut.Comment = ProductName;
    shortcut.Target = target;
    shortcut.WorkingFolder = QFileInfo(target).absolutePath() + u'/';
    shortcut.Icon = icon;
    QString error;
    if (!DesktopEntry::Write(linkPath, shortcut, &error)) {
        Fail(linkPath, error);
        return false;
    }
    if (!RecordFile(linkPath)) return false;
    if (!record_.WriteLinkDir(linkFolder + u'/', &error)) {
        observer.LinkFolderNotRecorded();
        // The removal deletes a shortcut only in the folder the record names.
        Fail(linkPath, NotRecorded(error, RemoveWrittenFile(linkPath)));
        return false;
    }
    return true;
}
