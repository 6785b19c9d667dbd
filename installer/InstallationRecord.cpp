#include "InstallationRecord.h"

#include "FolderLevels.h"
#include "LinkFreePath.h"
#include "RecordEntryCodec.h"

#include <QDir>

#include <utility>

namespace {

const QString FilesSubkey = QStringLiteral("Files");
const QString FoldersSubkey = QStringLiteral("Folders");
const QString PathsSubkey = QStringLiteral("Paths");

QString Subkey(const QString& name) { return InstallationRecord::KeyPath + u'\\' + name; }

} // namespace

InstallationRecord::InstallationRecord(RegistryStore store) : store_(std::move(store)) {}

bool InstallationRecord::Exists() const { return store_.KeyExists(Hive, KeyPath); }

InstallationRecord::Contents InstallationRecord::Read() const
{
    Contents contents;
    contents.Present = Exists();
    if (!contents.Present) return contents;
    auto read = [this](const QString& name, QString& into) { store_.ReadString(Hive, KeyPath, name, &into); };
    read(QStringLiteral("Version"), contents.Version);
    read(QStringLiteral("path"), contents.Path);
    read(QStringLiteral("User"), contents.User);
    read(QStringLiteral("Company"), contents.Company);
    read(QStringLiteral("LinkDir"), contents.LinkDir);
    contents.Files = ReadList(FilesSubkey);
    contents.Folders = ReadList(FoldersSubkey);
    contents.Paths = ReadList(PathsSubkey);
    return contents;
}

// Entries are the values "1", "2", ... up to the first number missing.
QStringList InstallationRecord::ReadList(const QString& subkey) const
{
    QStringList entries;
    for (int number = 1;; ++number) {
        QString value;
        if (store_.ReadString(Hive, Subkey(subkey), QString::number(number), &value) != RegistryStore::ReadStatus::Ok)
            break;
        entries.append(RecordEntryCodec::Decode(value));
    }
    return entries;
}

void InstallationRecord::WriteList(RegistryStore::Changes& changes, const QString& subkey, const QStringList& entries,
                                   int firstNumber)
{
    int number = firstNumber;
    for (const QString& entry : entries)
        changes.WriteString(Subkey(subkey), QString::number(number++), RecordEntryCodec::Encode(entry));
}

bool InstallationRecord::CanHoldPath(const QString& path)
{
    return !path.contains(u'\n') && !path.contains(u'\r') && path == path.trimmed();
}

bool InstallationRecord::Replace(const QString& version, const QString& path, const QStringList& createdFolders,
                                 QString* error)
{
    const QStringList files = ReadList(FilesSubkey);
    QStringList folders = ReadList(FoldersSubkey);
    // The registry's own folder, when this record is the first thing in it, goes with the record.
    QStringList registryLevels;
    if (QDir::isAbsolutePath(store_.Folder()) && CreateFolderLevels(store_.Folder(), &registryLevels))
        folders += registryLevels;
    for (const QString& folder : createdFolders)
        if (!folders.contains(folder)) folders.append(folder);
    // The earlier installations' files lie in their own folders, where the removal must still reach them.
    QStringList paths = ReadList(PathsSubkey);
    QString earlierPath;
    if (paths.isEmpty() &&
        store_.ReadString(Hive, KeyPath, QStringLiteral("path"), &earlierPath) == RegistryStore::ReadStatus::Ok &&
        !earlierPath.isEmpty())
        paths.append(earlierPath);
    if (!paths.contains(path)) paths.append(path);
    if (!CanHoldPath(path)) {
        if (error) *error = QStringLiteral("文件夹名称的两端有空白或含有换行");
        return false;
    }
    // In one write: a record half written could name this folder without the files it must remove.
    RegistryStore::Changes changes;
    changes.DeleteKey(KeyPath);
    changes.WriteString(KeyPath, QStringLiteral("Version"), version);
    changes.WriteString(KeyPath, QStringLiteral("path"), path);
    WriteList(changes, FilesSubkey, files, 1);
    WriteList(changes, FoldersSubkey, folders, 1);
    WriteList(changes, PathsSubkey, paths, 1);
    return store_.Apply(Hive, changes, error);
}

bool InstallationRecord::KeepOnly(const QStringList& files, const QStringList& folders, QString* error)
{
    // In one write: a failure keeps the old lists, never a part of the new ones.
    RegistryStore::Changes changes;
    changes.DeleteKey(Subkey(FilesSubkey));
    changes.DeleteKey(Subkey(FoldersSubkey));
    WriteList(changes, FilesSubkey, files, 1);
    WriteList(changes, FoldersSubkey, folders, 1);
    return store_.Apply(Hive, changes, error);
}

bool InstallationRecord::WriteUser(const QString& user, const QString& company)
{
    return store_.WriteString(Hive, KeyPath, QStringLiteral("User"), user) &&
           store_.WriteString(Hive, KeyPath, QStringLiteral("Company"), company);
}

bool InstallationRecord::WriteLinkDir(const QString& linkDir, QString* error)
{
    if (!Exists()) {
        if (error) *error = QStringLiteral("安装记录不存在");
        return false;
    }
    return store_.WriteString(Hive, KeyPath, QStringLiteral("LinkDir"), linkDir, error);
}

bool InstallationRecord::Add(const QString& subkey, const QString& path, QString* error)
{
    // The real place, so that the removal reaches it without following a link.
    const QString entry = LinkFreePath::RealPlace(path);
    const QStringList entries = ReadList(subkey);
    if (entries.contains(entry)) return true;
    RegistryStore::Changes changes;
    WriteList(changes, subkey, {entry}, static_cast<int>(entries.size()) + 1);
    return store_.Apply(Hive, changes, error);
}

bool InstallationRecord::AddFile(const QString& path, QString* error) { return Add(FilesSubkey, path, error); }

bool InstallationRecord::AddFolder(const QString& path, QString* error) { return Add(FoldersSubkey, path, error); }

bool InstallationRecord::Delete(QString* error) { return store_.DeleteKey(Hive, KeyPath, error); }
