// Where the program's files live on this platform: the program's own folder, the per-user
// configuration folder, the registry hives, the library folder and the settings file "Tarnvale.ini".
#pragma once

#include <QString>

class PlatformPaths {
public:
    static inline const QString IniFileName = QStringLiteral("Tarnvale.ini");

    // The folder of the running program, without a trailing "/": the application's folder when an
    // application object exists, else the folder of /proc/self/exe.
    static QString ProgramFolder();

    // $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
    static QString UserConfigFolder();

    // The folder that holds the registry hive files: $TARNVALE_REGISTRY_DIR when set, else
    // /etc/Corvane/registry for root and UserConfigFolder()/Corvane/registry for a user.
    static QString RegistryFolder();
    static QString SystemRegistryFolder();

    // The folder of the shared libraries that the installer puts in place and the program loads:
    // $TARNVALE_LIBDIR when set, else SystemLibraryFolder() for root and ~/.local/lib for a user.
    static QString LibraryFolder();
    static QString SystemLibraryFolder(); // /usr/local/lib

    // The per-user copy of the settings file: UserConfigFolder()/Corvane/Tarnvale.ini.
    static QString UserIniPath();
    // installPath (ending in "/") + "Tarnvale.ini".
    static QString InstalledIniPath(const QString& installPath);

    // Reads use the per-user copy when it exists, else the installed file.
    static QString IniReadPath(const QString& installPath);
    // The user may write the installed file: its folder is writable and the file is missing, writable
    // or owned by the user (who may clear its read-only attribute).
    static bool CanWriteInstalledIni(const QString& installPath);
    // Writes go to the file that reads use, so a write is always seen by the next read: the per-user
    // copy when it exists, else the installed file when the user may write it, else the per-user copy
    // (made from the installed file by the write).
    static QString IniWritePath(const QString& installPath, bool installedWritable);
    static QString IniWritePath(const QString& installPath);
};
