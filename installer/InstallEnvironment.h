// Every place the installer reads or writes, in one description: the registry's hive folder, the
// library folder, the applications folder (the shortcut's parent), the proposed installation
// folder and the source folder (the installation medium). Tests describe temporary folders, so
// nothing they run touches the real system, not even as root.
#pragma once

#include "RegistryStore.h"

#include <QString>

struct InstallEnvironment {
    QString RegistryFolder;
    QString LibraryFolder;
    QString ApplicationsFolder;   // empty when it cannot be told (no home folder)
    QString DefaultInstallFolder; // proposed on the folder page
    QString SourceFolder;         // holds the files to install
    QString HomeFolder;           // the user's home folder: never an installation folder
    // The system's hive folder when this process has another one (a user's): where an installation
    // made by root is recorded. Empty for root.
    QString SystemRegistryFolder;

    RegistryStore Registry() const { return RegistryStore(RegistryFolder); }

    // The places of this process, for root or for a user, as the program Tarnvale finds them:
    // the registry and library folders of PlatformPaths; applications folder
    // /usr/local/share/applications for root, $XDG_DATA_HOME/applications (else
    // ~/.local/share/applications) for a user; proposed folder /opt/Corvane/Tarnvale/Enterprise for
    // root, the user's data folder + /Corvane/Tarnvale/Enterprise for a user; the source folder is
    // sourceFolder; the home folder is $HOME; the system's hive folder is PlatformPaths' for a
    // user, unless the registry's folder is given by the environment.
    static InstallEnvironment OfThisProcess(const QString& sourceFolder);
};
