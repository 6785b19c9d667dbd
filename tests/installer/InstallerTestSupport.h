// Helpers of the installer's suites: a whole set of places in a scratch folder (registry, library
// folder, applications folder, proposed installation folder, medium), files and their modes.
#pragma once

#include "InstallEnvironment.h"
#include "InstallationRecord.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <string>

#include <sys/stat.h>

namespace InstallerTest {

inline void Write(const QString& path, const QByteArray& bytes, int mode = 0644)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
    f.close();
    ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode));
}

inline QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Permission bits, or -1 when nothing is there.
inline int Mode(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return static_cast<int>(st.st_mode & 07777);
}

inline bool Present(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// The places of one test, all below one scratch folder. The installation folder's name holds blanks,
// as a user's choice may.
class Places {
public:
    Places()
    {
        const QString root = Root();
        Environment.RegistryFolder = root + QStringLiteral("/registry");
        Environment.LibraryFolder = root + QStringLiteral("/home/.local/lib");
        Environment.ApplicationsFolder = root + QStringLiteral("/home/.local/share/applications");
        Environment.DefaultInstallFolder = root + QStringLiteral("/Program Files/Corvane/Tarnvale/Enterprise");
        Environment.SourceFolder = root + QStringLiteral("/medium");
        Environment.HomeFolder = root + QStringLiteral("/home");
        QDir().mkpath(Environment.SourceFolder);
        QDir().mkpath(root + QStringLiteral("/home"));
    }

    QString Root() const { return root_.path(); }
    InstallationRecord Record() const { return InstallationRecord(Environment.Registry()); }
    QString Medium(const QString& name) const { return Environment.SourceFolder + u'/' + name; }
    QString Installed(const QString& name) const { return Environment.DefaultInstallFolder + u'/' + name; }
    QString Library(const QString& name) const { return Environment.LibraryFolder + u'/' + name; }
    QString LinkFolder() const { return Environment.ApplicationsFolder + QStringLiteral("/Tarnvale 6.04"); }
    QString LinkFile() const { return LinkFolder() + QStringLiteral("/Tarnvale 6.04.desktop"); }

    // A small medium of stand-in files: the search library and another library the installation
    // does not know, three data files, the settings file, the program (executable), its icon and
    // the manual.
    void WriteSmallMedium(bool libraries = true, bool data = true, bool program = true) const
    {
        if (libraries) {
            Write(Medium(QStringLiteral("libOstrel.so")), "search library", 0755);
            Write(Medium(QStringLiteral("libExtra.so")), "extra library", 0755);
        }
        if (data)
            for (const char* name : {"SRCREQU_1.DAT", "SRCREQU_2.DAT", "SRCREQU_3.DAT"})
                Write(Medium(QString::fromLatin1(name)), QByteArray("words of ") + name);
        Write(Medium(QStringLiteral("Tarnvale.ini")), "[Options]\r\nWordsAnalyze=Y\r\n");
        if (program) Write(Medium(QStringLiteral("Tarnvale.ex_")), "program", 0755);
        Write(Medium(QStringLiteral("Tarnvale.png")), "icon");
        Write(Medium(QStringLiteral("Tarnvale使用手册.doc")), "{\\rtf1 manual}");
        Write(Medium(QStringLiteral("Install")), "the installer itself", 0755);
    }

    // Every path below the root but the medium's, for "nothing left behind".
    QSet<QString> Tree() const
    {
        QSet<QString> paths;
        QDirIterator it(Root(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.startsWith(Environment.SourceFolder)) continue;
            paths.insert(path);
        }
        return paths;
    }

    InstallEnvironment Environment;

private:
    QTemporaryDir root_;
};

// Every entry below folder with what it is: a file's bytes, "<folder>", or "-> " and a link's target.
inline std::map<std::string, std::string> Snapshot(const QString& folder)
{
    std::map<std::string, std::string> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        entries[path.toStdString()] = info.isSymLink() ? "-> " + info.symLinkTarget().toStdString()
                                      : info.isDir()   ? std::string("<folder>")
                                                       : Read(path).toStdString();
    }
    return entries;
}

// A desktop-entry reader's side of an Exec value: the string unescaping, then the quoting.
inline QStringList DesktopExecArguments(const QString& value)
{
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const QChar next = value[++i];
        text += next == u's' ? QChar(u' ') : next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t')
                : next == u'r' ? QChar(u'\r') : next;
    }
    QStringList arguments;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == u'\\' && i + 1 < text.size()) {
            current += text[++i];
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (c == u'%' && i + 1 < text.size() && text[i + 1] == u'%') {
            current += c;
            ++i;
        } else if (c == u' ' && !quoted) {
            if (!current.isEmpty()) arguments << current;
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty()) arguments << current;
    return arguments;
}

} // namespace InstallerTest
