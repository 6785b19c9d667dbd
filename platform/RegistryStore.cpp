#include "RegistryStore.h"

#include "IniFile.h"
#include "PlatformPaths.h"

#include <QDir>
#include <QFileInfo>

#include <functional>
#include <utility>

namespace {

bool IsSubkeyOf(const QString& section, const QString& key)
{
    return section.size() > key.size() && section.startsWith(key, Qt::CaseInsensitive) &&
           section[key.size()] == u'\\';
}

void SetError(QString* error, const QString& text)
{
    if (error) *error = text;
}

} // namespace

RegistryStore::RegistryStore(QString folder) : folder_(std::move(folder)) {}

RegistryStore RegistryStore::Default() { return RegistryStore(PlatformPaths::RegistryFolder()); }

QString RegistryStore::HiveName(RegistryHive hive)
{
    return hive == RegistryHive::LocalMachine ? QStringLiteral("HKEY_LOCAL_MACHINE")
                                              : QStringLiteral("HKEY_CURRENT_USER");
}

QString RegistryStore::HiveFile(RegistryHive hive) const { return folder_ + u'/' + HiveName(hive) + QStringLiteral(".ini"); }

QString RegistryStore::NormalizeKeyPath(const QString& keyPath)
{
    const QStringList parts = keyPath.split(u'\\', Qt::SkipEmptyParts);
    QStringList kept;
    for (const QString& part : parts) {
        const QString name = part.trimmed();
        if (!name.isEmpty()) kept.append(name);
    }
    const QString path = kept.join(u'\\');
    return IniFile::IsValidSectionName(path) && !path.startsWith(u';') && !path.startsWith(u'#') ? path : QString();
}

bool RegistryStore::KeyExists(RegistryHive hive, const QString& keyPath) const
{
    const QString key = NormalizeKeyPath(keyPath);
    if (key.isEmpty()) return false;
    IniFile ini(HiveFile(hive));
    if (!ini.Load()) return false;
    for (const QString& section : ini.Sections())
        if (section.compare(key, Qt::CaseInsensitive) == 0 || IsSubkeyOf(section, key)) return true;
    return false;
}

RegistryStore::ReadStatus RegistryStore::ReadString(RegistryHive hive, const QString& keyPath,
                                                    const QString& valueName, QString* value) const
{
    const QString key = NormalizeKeyPath(keyPath);
    if (key.isEmpty()) return ReadStatus::KeyMissing;
    IniFile ini(HiveFile(hive));
    if (!ini.Load()) return ReadStatus::Unreadable;
    if (!ini.HasSection(key)) {
        for (const QString& section : ini.Sections())
            if (IsSubkeyOf(section, key)) return ReadStatus::ValueMissing;
        return ReadStatus::KeyMissing;
    }
    std::optional<QString> found = ini.Value(key, valueName);
    if (!found) return ReadStatus::ValueMissing;
    if (value) *value = *found;
    return ReadStatus::Ok;
}

namespace {

// Loads a hive, lets edit change it and saves it when it changed.
bool EditHive(const QString& file, QString* error, const std::function<bool(IniFile&)>& edit)
{
    IniFile ini(file);
    if (!ini.Load()) {
        SetError(error, ini.ErrorText());
        return false;
    }
    if (!edit(ini)) {
        SetError(error, ini.ErrorText());
        return false;
    }
    if (!ini.Modified()) return true;
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        SetError(error, QStringLiteral("cannot create the folder %1").arg(folder));
        return false;
    }
    if (!ini.Save()) {
        SetError(error, ini.ErrorText());
        return false;
    }
    return true;
}

} // namespace

bool RegistryStore::CreateKey(RegistryHive hive, const QString& keyPath, QString* error) const
{
    const QString key = NormalizeKeyPath(keyPath);
    if (key.isEmpty()) {
        SetError(error, QStringLiteral("invalid key path %1").arg(keyPath));
        return false;
    }
    return EditHive(HiveFile(hive), error, [&](IniFile& ini) { return ini.AddSection(key); });
}

bool RegistryStore::WriteString(RegistryHive hive, const QString& keyPath, const QString& valueName,
                                const QString& value, QString* error) const
{
    Changes changes;
    changes.WriteString(keyPath, valueName, value);
    return Apply(hive, changes, error);
}

bool RegistryStore::DeleteValue(RegistryHive hive, const QString& keyPath, const QString& valueName,
                                QString* error) const
{
    const QString key = NormalizeKeyPath(keyPath);
    if (key.isEmpty()) return true;
    return EditHive(HiveFile(hive), error, [&](IniFile& ini) {
        ini.RemoveKey(key, valueName);
        return true;
    });
}

bool RegistryStore::DeleteKey(RegistryHive hive, const QString& keyPath, QString* error) const
{
    if (NormalizeKeyPath(keyPath).isEmpty()) return true;
    Changes changes;
    changes.DeleteKey(keyPath);
    return Apply(hive, changes, error);
}

bool RegistryStore::Apply(RegistryHive hive, const Changes& changes, QString* error) const
{
    QStringList keys;
    for (const Changes::Change& change : changes.list_) {
        keys.append(NormalizeKeyPath(change.KeyPath));
        if (keys.back().isEmpty() && !change.Delete) {
            SetError(error, QStringLiteral("invalid key path %1").arg(change.KeyPath));
            return false;
        }
    }
    return EditHive(HiveFile(hive), error, [&](IniFile& ini) {
        for (qsizetype i = 0; i < changes.list_.size(); ++i) {
            const Changes::Change& change = changes.list_[i];
            const QString& key = keys[i];
            if (!change.Delete) {
                if (!ini.SetValue(key, change.ValueName, change.Value)) return false;
                continue;
            }
            if (key.isEmpty()) continue;
            for (const QString& section : ini.Sections())
                if (section.compare(key, Qt::CaseInsensitive) == 0 || IsSubkeyOf(section, key)) ini.RemoveSection(section);
        }
        return true;
    });
}
