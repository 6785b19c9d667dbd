#include "Settings.h"

#include "PlatformPaths.h"
#include "RegistryStore.h"
#include "SettingsFile.h"
#include "SettingsParse.h"

#include <QFileInfo>

namespace Settings {

QString InstallPath;
QString VersionText;
bool FileOpenByExcelAuto = false;
bool WordsAnalyze = false;
bool ExportWithTblColumn = false;
bool SQLScheduleReconnect = false;
bool DBObjectsShow = false;
bool AutoCommit = false;
QString StatementSeparator;
QString TextQualifier;
int MaxFieldLenOfSqlResult = 0;
FontSetting SqlEditorFont;
FontSetting ResultFont;
FontSetting DbObjectFont;

void ResetToStartValues()
{
    InstallPath.clear();
    VersionText.clear();
    FileOpenByExcelAuto = WordsAnalyze = ExportWithTblColumn = SQLScheduleReconnect = false;
    DBObjectsShow = AutoCommit = false;
    StatementSeparator.clear();
    TextQualifier.clear();
    MaxFieldLenOfSqlResult = 0;
    SqlEditorFont = ResultFont = DbObjectFont = FontSetting{};
}

QString IniPath() { return PlatformPaths::IniReadPath(InstallPath); }

bool IniExists() { return QFileInfo::exists(IniPath()); }

namespace {

struct HiveSource {
    RegistryStore Store;
    RegistryHive Hive;
};

std::vector<HiveSource> InstallationKeySources()
{
    const RegistryStore own = RegistryStore::Default();
    std::vector<HiveSource> sources{{own, RegistryHive::CurrentUser}, {own, RegistryHive::LocalMachine}};
    // A user's own hives come first; an installation made by root is then found in the system's.
    const RegistryStore system(PlatformPaths::SystemRegistryFolder());
    if (qEnvironmentVariableIsEmpty("TARNVALE_REGISTRY_DIR") && own.Folder() != system.Folder())
        sources.push_back({system, RegistryHive::LocalMachine});
    return sources;
}

void ApplyFont(const IniFile& ini, const QString& section, FontSetting& font)
{
    if (!font.Present) font = FontSetting{true, QString(), 0, 0};
    const QString face = ini.ReadString(section, FontNameKey);
    if (!face.isEmpty()) font.FaceName = face;
    if (std::optional<int> size = SettingsParse::FontSize(ini.ReadString(section, FontSizeKey))) font.Size = *size;
    font.Style = SettingsParse::FontStyle(ini.ReadString(section, FontStyleKey));
}

} // namespace

void ReadInstallation()
{
    QString version;
    QString path;
    for (const HiveSource& source : InstallationKeySources()) {
        if (!source.Store.KeyExists(source.Hive, InstallationKey)) continue;
        source.Store.ReadString(source.Hive, InstallationKey, QStringLiteral("Version"), &version);
        source.Store.ReadString(source.Hive, InstallationKey, QStringLiteral("path"), &path);
        break;
    }
    VersionText = version;
    InstallPath = SettingsParse::WithTrailingSeparator(path.isEmpty() ? PlatformPaths::ProgramFolder() : path);
}

void ReadOptions()
{
    const IniFile ini = SettingsFile(InstallPath).ReadUntouched();
    auto value = [&ini](const QString& key) { return ini.ReadString(OptionsSection, key); };
    FileOpenByExcelAuto = SettingsParse::Flag(value(FileOpenByExcelAutoKey), false);
    WordsAnalyze = SettingsParse::Flag(value(WordsAnalyzeKey), false);
    ExportWithTblColumn = SettingsParse::Flag(value(ExportWithTblColumnKey), false);
    SQLScheduleReconnect = SettingsParse::Flag(value(SQLScheduleReconnectKey), false);
    DBObjectsShow = SettingsParse::Flag(value(DBObjectsShowKey), true);
    AutoCommit = SettingsParse::Flag(value(AutoCommitKey), true);
    StatementSeparator = SettingsParse::StatementSeparator(value(StatementSeparatorKey));
    TextQualifier = SettingsParse::TextQualifier(value(TextQualifierKey));
    MaxFieldLenOfSqlResult = SettingsParse::MaxFieldLen(value(MaxFieldLenOfSqlResultKey));
}

void ReadFonts()
{
    SettingsFile(InstallPath).ReadGuarded([](const IniFile& ini) {
        ApplyFont(ini, SqlEditorFontSection, SqlEditorFont);
        ApplyFont(ini, ResultFontSection, ResultFont);
        ApplyFont(ini, DbObjectFontSection, DbObjectFont);
    });
}

bool WriteDBObjectsShow(QString* error)
{
    const QString wanted = DBObjectsShow ? QStringLiteral("Y") : QStringLiteral("N");
    return SettingsFile(InstallPath).Write(SettingsFile::WhenMissing::Skip, [&wanted](IniFile& ini) {
        if (ini.ReadString(OptionsSection, DBObjectsShowKey).toUpper() == wanted) return true;
        return ini.SetValue(OptionsSection, DBObjectsShowKey, wanted);
    }, error);
}

bool WriteOptions(const std::vector<OptionWrite>& writes, QString* error)
{
    return SettingsFile(InstallPath).Write(SettingsFile::WhenMissing::Create, [&writes](IniFile& ini) {
        for (const OptionWrite& write : writes) {
            if (write.OnlyWhenChanged && ini.ReadString(OptionsSection, write.Key).toUpper() == write.Value) continue;
            if (!ini.SetValue(OptionsSection, write.Key, write.Value)) return false;
        }
        return true;
    }, error);
}

bool WriteFontSection(const QString& section, const FontSetting& font, QString* error)
{
    return SettingsFile(InstallPath).Write(SettingsFile::WhenMissing::Skip, [&](IniFile& ini) {
        return ini.SetValue(section, FontNameKey, font.FaceName) &&
               ini.SetValue(section, FontSizeKey, QString::number(font.Size)) &&
               ini.SetValue(section, FontStyleKey, QString::number(font.Style & FontSetting::StyleMask));
    }, error);
}

} // namespace Settings
