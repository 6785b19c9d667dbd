#include "ResultFileName.h"

#include "SaveFileChoice.h"

namespace ResultFileName {

QString Complete(const QString& chosen, int filterIndex)
{
    QString extension;
    if (filterIndex == TxtFilter)
        extension = QStringLiteral(".txt");
    else if (filterIndex == CsvFilter)
        extension = QStringLiteral(".csv");
    else
        return chosen;
    return chosen.right(4).toLower() == extension ? chosen : chosen + extension;
}

QString Choose(QWidget* parent)
{
    FileChooser::Request request;
    request.Parent = parent;
    request.Name = QStringLiteral("SaveDialog_resultsave");
    request.Title = QStringLiteral("保存查询结果");
    request.Filters = {QStringLiteral("Txt Files(*.txt)"), QStringLiteral("Csv Files(*.csv)"),
                       QStringLiteral("All Files(*.*)")};
    const SaveFileChoice::Result chosen = SaveFileChoice::Choose(
        request, [](const QString& name, int filter) { return Complete(name, filter + 1); });
    return chosen.Accepted ? chosen.Path : QString();
}

} // namespace ResultFileName
