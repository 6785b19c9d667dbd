#include "InstallerGlobals.h"

namespace InstallerGlobals {

InstallEnvironment Environment;
QString SourceFolder;
QString InstallFolder;
QString UserName;
QString CompanyName;
QString LinkFolder;

void Reset(const InstallEnvironment& environment)
{
    Environment = environment;
    SourceFolder.clear();
    InstallFolder.clear();
    UserName.clear();
    CompanyName.clear();
    LinkFolder.clear();
}

bool IsInstallFolderName(const QString& name)
{
    return name == ProgramName || DataFileNames.contains(name) || name == ConfigFileName || name == IconFileName ||
           ExtraFileNames.contains(name);
}

QString WithTrailingSlash(const QString& text) { return text.endsWith(u'/') ? text : text + u'/'; }

} // namespace InstallerGlobals
