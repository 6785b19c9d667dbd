#include "WindowMenuEntry.h"

namespace WindowMenuEntry {

QString Key(QueryWindowHandle handle) { return QString::number(handle) + QLatin1String(KeyEnd); }

QString Line(QueryWindowHandle handle, const QString& caption) { return Key(handle) + caption; }

int Find(const QStringList& registry, QueryWindowHandle handle)
{
    const QString key = Key(handle);
    for (int i = 0; i < registry.size(); ++i)
        if (registry[i].startsWith(key)) return i;
    return -1;
}

QString HandleText(const QString& line)
{
    const int end = line.indexOf(QLatin1String(KeyEnd));
    return end < 0 ? line : line.left(end);
}

} // namespace WindowMenuEntry
