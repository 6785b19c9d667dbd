#include "OdbcAdministrator.h"

#include "DesktopOpener.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace OdbcAdministrator {

QStringList ProgramNames()
{
    return {QStringLiteral("ODBCManageDataSourcesQ5"), QStringLiteral("ODBCManageDataSourcesQ4")};
}

QString UserDsnFile()
{
    const QString named = qEnvironmentVariable("ODBCINI");
    if (!named.isEmpty()) return named;
    return QDir::homePath() + QStringLiteral("/.odbc.ini");
}

void Start()
{
    for (const QString& name : ProgramNames()) {
        const QString program = QStandardPaths::findExecutable(name);
        if (!program.isEmpty()) {
            DesktopOpener::Current().StartProgram(program, {});
            return;
        }
    }
    const QString file = UserDsnFile();
    if (!QFileInfo::exists(file)) {
        QFile empty(file);
        if (empty.open(QIODevice::WriteOnly)) empty.close();
    }
    DesktopOpener::Current().OpenFile(file);
}

} // namespace OdbcAdministrator
