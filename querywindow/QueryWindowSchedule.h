// A query window's scheduled run: when it starts and where its results go. The date and the time
// are held as such; their texts are made only to show them.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <cstdint>

// ScheduleDisplayMode values; a schedule never shows text.
namespace ScheduleModes {
inline constexpr std::int32_t None = -1;
inline constexpr std::int32_t Grid = 0;
inline constexpr std::int32_t File = 2;
} // namespace ScheduleModes

struct QueryWindowSchedule {
    // The date and time a window without a schedule holds.
    static QDate NoScheduleDate() { return QDate(1900, 1, 1); }
    static QTime NoScheduleTime() { return QTime(0, 0, 1); }

    std::uint8_t HasSchedule = 0;
    QDate ScheduleDate = NoScheduleDate();
    QTime ScheduleTime = NoScheduleTime();
    QDateTime ScheduleMoment = QDateTime(NoScheduleDate(), NoScheduleTime());
    std::int32_t ScheduleDisplayMode = ScheduleModes::None;
    QString ScheduleFileName;

    // Back to the values without a schedule; a started run keeps its file name until it is under way.
    void ClearSchedule(bool keepFileName = false);
};
