#include "OdbcAdministrator.h"

#include "DesktopOpener.h"
#include "Prompter.h"

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

QString NoProgramForFileText(const QString& file)
{
    return QStringLiteral("没有找到能打开ODBC数据源文件的程序。\n\nODBC数据源保存在文件\n%1\n中，可以用任何文本编辑器修改。")
        .arg(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()));
}

void Start(const QString& caption)
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
    if (!DesktopOpener::Current().OpenFile(file))
        Prompter::Current().Message(NoProgramForFileText(file), caption, Prompter::Icon::Information, Prompter::Ok);
}

} // namespace OdbcAdministrator
