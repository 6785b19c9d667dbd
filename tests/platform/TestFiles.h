// Small file helpers of the platform suites.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/stat.h>

namespace TestFiles {

inline void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

inline QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Permission bits, or -1 when the file is missing.
inline int Mode(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return static_cast<int>(st.st_mode & 07777);
}

inline void SetMode(const QString& path, int mode) { ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)); }

} // namespace TestFiles
