// The registry of this platform: one INI-format file per hive in a folder, one section per key path,
// string values. Key paths and value names match without regard to case.
#pragma once

#include <QList>
#include <QString>

enum class RegistryHive { LocalMachine, CurrentUser };

class RegistryStore {
public:
    enum class ReadStatus { Ok, KeyMissing, ValueMissing, Unreadable };

    // A store over the hive files of folder (PlatformPaths::RegistryFolder() for this process).
    explicit RegistryStore(QString folder);
    static RegistryStore Default();

    const QString& Folder() const { return folder_; }
    static QString HiveName(RegistryHive hive); // "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"
    QString HiveFile(RegistryHive hive) const;  // folder + "/" + hive name + ".ini"

    // Backslash-separated, without empty parts; empty when the path cannot be a key.
    static QString NormalizeKeyPath(const QString& keyPath);

    // Opening without creating: the key is there (with values of its own or subkeys).
    bool KeyExists(RegistryHive hive, const QString& keyPath) const;
    // A string value; value is set only on Ok.
    ReadStatus ReadString(RegistryHive hive, const QString& keyPath, const QString& valueName,
                          QString* value) const;

    // Writers for the installer. Each reads the hive, changes it and writes it back whole through a
    // temporary file; false (with the reason in *error) when the names or value cannot be stored or
    // the hive cannot be read or written. A value keeps no leading or trailing blanks.
    bool CreateKey(RegistryHive hive, const QString& keyPath, QString* error = nullptr) const;
    bool WriteString(RegistryHive hive, const QString& keyPath, const QString& valueName,
                     const QString& value, QString* error = nullptr) const;
    // Both succeed when the value or key is gone afterwards, also when it was never there.
    bool DeleteValue(RegistryHive hive, const QString& keyPath, const QString& valueName,
                     QString* error = nullptr) const;
    // Deletes the key with all its subkeys.
    bool DeleteKey(RegistryHive hive, const QString& keyPath, QString* error = nullptr) const;

    // Changes of one hive made in their order and written in one go: all of them or none.
    class Changes {
    public:
        void DeleteKey(const QString& keyPath) { list_.append({true, keyPath, {}, {}}); }
        void WriteString(const QString& keyPath, const QString& valueName, const QString& value)
        {
            list_.append({false, keyPath, valueName, value});
        }

    private:
        friend class RegistryStore;
        struct Change {
            bool Delete;
            QString KeyPath, ValueName, Value;
        };
        QList<Change> list_;
    };
    bool Apply(RegistryHive hive, const Changes& changes, QString* error = nullptr) const;

private:
    QString folder_;
};
