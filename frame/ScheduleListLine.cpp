#include "ScheduleListLine.h"

namespace ScheduleListLine {

namespace {
const QString Lead = QStringLiteral("Form");
const QString Gap = QStringLiteral("   ");
} // namespace

QString Of(std::uint64_t handle, const QDateTime& moment)
{
    return Lead + QString::number(handle) + Gap + moment.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

bool IsOf(const QString& line, std::uint64_t handle)
{
    if (!line.startsWith(Lead)) return false;
    const qsizetype gap = line.indexOf(Gap, Lead.size());
    if (gap < 0) return false;
    return line.mid(Lead.size(), gap - Lead.size()) == QString::number(handle);
}

} // namespace ScheduleListLine
