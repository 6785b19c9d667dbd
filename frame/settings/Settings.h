// The program's process-wide setting values, read at start-up from the installation key of the
// registry and from "Tarnvale.ini", and the writes of that file. Everything here runs on the
// user-interface thread.
#pragma once

#include "FontSetting.h"

#include <QString>

#include <vector>

namespace Settings {

inline const QString InstallationKey = QStringLiteral("SOFTWARE\\Corvane\\Tarnvale\\Enterprise");

inline const QString OptionsSection = QStringLiteral("Options");
inline const QString SqlEditorFontSection = QStringLiteral("Font_SQLInput");
inline const QString ResultFontSection = QStringLiteral("Font_SQLResult");
inline const QString DbObjectFontSection = QStringLiteral("Font_DBObject");

inline const QString FileOpenByExcelAutoKey = QStringLiteral("FileOpenByExcelAuto");
inline const QString WordsAnalyzeKey = QStringLiteral("WordsAnalyze");
inline const QString ExportWithTblColumnKey = QStringLiteral("ExportWithTblColumn");
inline const QString SQLScheduleReconnectKey = QStringLiteral("SQLScheduleReconnect");
inline const QString DBObjectsShowKey = QStringLiteral("DBObjectsShow");
inline const QString AutoCommitKey = QStringLiteral("AutoCommit");
inline const QString StatementSeparatorKey = QStringLiteral("indexSepChBetweensql");
inline const QString TextQualifierKey = QStringLiteral("indexTxtFieldsSepartor");
inline const QString MaxFieldLenOfSqlResultKey = QStringLiteral("MaxFieldLenOfSqlResult");

inline const QString FontNameKey = QStringLiteral("FontName");
inline const QString FontSizeKey = QStringLiteral("Size");
inline const QString FontStyleKey = QStringLiteral("FontStyle");

// Installation folder, ending in "/"; prefix of "Tarnvale.ini" and of the keyword files.
extern QString InstallPath;
extern QString VersionText;

extern bool FileOpenByExcelAuto;
extern bool WordsAnalyze;
extern bool ExportWithTblColumn;
extern bool SQLScheduleReconnect;
extern bool DBObjectsShow;
extern bool AutoCommit;

// ";" or "$$".
extern QString StatementSeparator;
// Empty, "'" or the double quote. The worker thread that renders values never reads this one: the
// engine copies it on the user-interface thread when a run starts, so a change by the options
// dialog during a run cannot race with that run (it takes effect at the next run).
extern QString TextQualifier;
// 512 to 65536, a multiple of 512, after any read.
extern int MaxFieldLenOfSqlResult;

extern FontSetting SqlEditorFont;
extern FontSetting ResultFont;
extern FontSetting DbObjectFont;

// Every value empty, off, 0 or absent, as when the program starts.
void ResetToStartValues();

// The settings file that reads use (the per-user copy when it exists, else InstallPath + "Tarnvale.ini").
QString IniPath();
bool IniExists();

// VersionText and InstallPath from the installation key, looked up in the user's hive, then the
// system's, read-only. Without the key or its "path", InstallPath is the program's own folder.
void ReadInstallation();

// The nine "Options" values; every value takes its default when the file is missing. The file's
// attributes are not touched.
void ReadOptions();

// The three fonts, only when the file exists, under the read-only rule; a font is created when absent
// and keeps its face and size where the file gives none.
void ReadFonts();

// At close: writes "DBObjectsShow" as "Y" or "N" when the file exists and the stored value (upper-cased)
// differs. False when the file could not be read or written.
bool WriteDBObjectsShow(QString* error = nullptr);

// One key of section "Options" for WriteOptions. With OnlyWhenChanged the key is written only when
// its stored value, upper-cased, differs from Value.
struct OptionWrite {
    QString Key;
    QString Value;
    bool OnlyWhenChanged = false;
};

// Creates the file when it is missing, then writes the keys in their order, all in one save: either
// every key is written or none. The file is read-only afterwards whatever happened. False when the
// file could not be read or written, or a key or value cannot be stored.
bool WriteOptions(const std::vector<OptionWrite>& writes, QString* error = nullptr);

// Writes "FontName", "Size" and "FontStyle" (the four style bits) of one font section, only when the
// file exists (true without writing otherwise). False when the file could not be read or written.
bool WriteFontSection(const QString& section, const FontSetting& font, QString* error = nullptr);

} // namespace Settings
