#include "ResultFileName.h"

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

} // namespace ResultFileName
