// The line of the schedule dialog's list: "Form", the window's handle, three blanks and the moment.
#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>

namespace ScheduleListLine {

// "Form" + handle in decimal + "   " + the moment as "yyyy-mm-dd hh:mm:ss".
QString Of(std::uint64_t handle, const QDateTime& moment);
// True when the text between the leading "Form" and the first "   " is the handle in decimal.
bool IsOf(const QString& line, std::uint64_t handle);

} // namespace ScheduleListLine
