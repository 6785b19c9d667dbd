#include "SettingsFile.h"

#include "PlatformPaths.h"
#include "ReadOnlyAttribute.h"

#include <QDir>
#include <QFileInfo>

namespace {

void SetError(QString* error, const QString& text)
{
    if (error) *error = text;
}

void SetReadOnlyWhenPresent(const QString& path)
{
    if (!path.isEmpty() && QFileInfo::exists(path)) ReadOnlyAttribute::Set(path);
}

} // namespace

SettingsFile::SettingsFile(const QString& installPath)
    : SettingsFile(installPath, PlatformPaths::CanWriteInstalledIni(installPath))
{
}

SettingsFile::SettingsFile(const QString& installPath, bool installedWritable)
    : installPath_(installPath), installedWritable_(installedWritable),
      readPath_(PlatformPaths::IniReadPath(installPath))
{
}

bool SettingsFile::Exists() const { return QFileInfo::exists(readPath_); }

IniFile SettingsFile::ReadUntouched() const
{
    IniFile ini(readPath_);
    ini.Load();
    return ini;
}

bool SettingsFile::ReadGuarded(const std::function<void(const IniFile&)>& read, QString* error) const
{
    if (!Exists()) return true;
    ReadOnlyAttribute::Clear(readPath_);
    IniFile ini(readPath_);
    const bool ok = ini.Load();
    if (ok)
        read(ini);
    else
        SetError(error, ini.ErrorText());
    SetReadOnlyWhenPresent(readPath_);
    return ok;
}

bool SettingsFile::Write(WhenMissing whenMissing, const std::function<bool(IniFile&)>& edit, QString* error) const
{
    const bool existed = Exists();
    if (!existed && whenMissing == WhenMissing::Skip) return true;
    if (existed) ReadOnlyAttribute::Clear(readPath_);

    IniFile ini(readPath_);
    QString target;
    bool ok = ini.Load();
    if (!ok) {
        SetError(error, ini.ErrorText());
    } else if (!edit(ini)) {
        ok = false;
        SetError(error, ini.ErrorText());
    } else if (ini.Modified() || !existed) {
        target = PlatformPaths::IniWritePath(installPath_, installedWritable_);
        const QString folder = QFileInfo(target).absolutePath();
        if (!QDir().mkpath(folder)) {
            ok = false;
            SetError(error, QStringLiteral("cannot create the folder %1").arg(folder));
        } else {
            ini.SetPath(target);
            ok = ini.Save();
            if (!ok) SetError(error, ini.ErrorText());
        }
    }

    SetReadOnlyWhenPresent(readPath_);
    if (target != readPath_) SetReadOnlyWhenPresent(target);
    return ok;
}
