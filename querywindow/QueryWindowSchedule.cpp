#include "QueryWindowSchedule.h"

#include <QLocale>

void QueryWindowSchedule::ClearSchedule(bool keepFileName)
{
    HasSchedule = 0;
    ScheduleDate = NoScheduleDate();
    ScheduleTime = NoScheduleTime();
    ScheduleMoment = QDateTime(ScheduleDate, ScheduleTime);
    ScheduleDisplayMode = ScheduleModes::None;
    if (!keepFileName) ScheduleFileName.clear();
}

QString QueryWindowSchedule::ScheduleDateText() const { return QLocale().toString(ScheduleDate, QLocale::ShortFormat); }
