// The installer's process-wide values: the product's fixed names and texts, the places of this run
// and what the wizard's pages gathered. Used on the user-interface thread only.
#pragma once

#include "InstallEnvironment.h"

#include <QString>
#include <QStringList>

namespace InstallerGlobals {

inline const QString ProductName = QStringLiteral("Tarnvale");
inline const QString ProductVersion = QStringLiteral("6.04");
inline const QString WizardTitle = QStringLiteral("Tarnvale安装向导");

// What the installation takes from the source folder.
inline const QString LibraryMask = QStringLiteral("*.so");
inline const QString DataMask = QStringLiteral("*.dat");
inline const QString ConfigFileName = QStringLiteral("Tarnvale.ini");
inline const QString ProgramMask = QStringLiteral("Tarnvale.ex_");
inline const QString IconFileName = QStringLiteral("Tarnvale.png");
inline const QStringList ExtraFileNames = {QStringLiteral("Tarnvale使用手册.doc")};
// The only names the installation writes, so the only ones the removal deletes: the medium's one
// library in the library folder; the program, the keyword files, the settings file, the icon and
// the manual in the installation folder (the menu entry is named by LinkName()).
inline const QStringList SystemLibraryNames = {QStringLiteral("libOstrel.so")};
inline const QString ProgramName = ProductName;
inline const QStringList DataFileNames = {
    QStringLiteral("SRCREQU_1.DAT"), QStringLiteral("SRCREQU_2.DAT"), QStringLiteral("SRCREQU_3.DAT"),
    QStringLiteral("SRCREQU_4.DAT"), QStringLiteral("SRCREQU_5.DAT"), QStringLiteral("SRCREQU_6.DAT"),
    QStringLiteral("SRCREQU_7.DAT"), QStringLiteral("SRCREQU_8.DAT")};

inline const QString RegistryFailedText = QStringLiteral("注册失败，请联系软件提供商！");
inline const QString FilesMissingText = QStringLiteral("发生重要文件丢失，请联系软件提供商！");

// The places of this run.
extern InstallEnvironment Environment;
// The source folder with "/" appended.
extern QString SourceFolder;
// The chosen installation folder (the folder page's label, later with "/" appended).
extern QString InstallFolder;
extern QString UserName;
extern QString CompanyName;
// The shortcut's folder, from the installation record.
extern QString LinkFolder;

// Whether name is one the installation writes into the installation folder.
bool IsInstallFolderName(const QString& name);

// Starts over with the places of environment and every gathered value empty.
void Reset(const InstallEnvironment& environment);

// text with "/" appended unless it already ends in one.
QString WithTrailingSlash(const QString& text);

} // namespace InstallerGlobals
