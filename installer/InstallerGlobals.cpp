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

QString WithTrailingSlash(const QString& text) { return text.endsWith(u'/') ? text : text + u'/'; }

} // namespace InstallerGlobals
