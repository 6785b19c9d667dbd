#include "InstallerGlobals.h"

namespace InstallerGlobals {

InstallEnvironment Environment;
QString SourceFolder;
QString InstallFolder;
QString UserName;
QString CompanyName;
QString SystemFolder;
QString LinkFolder;

void Reset(const InstallEnvironment& environment)
{
    Environment = environment;
    SourceFolder.clear();
    InstallFolder.clear();
    UserName.clear();
    CompanyName.clear();
    SystemFolder.clear();
    LinkFolder.clear();
}

QString WithTrailingSlash(const QString& text) { return text.endsWith(u'/') ? text : text + u'/'; }

} // namespace InstallerGlobals
