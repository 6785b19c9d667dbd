#include "QueryWindowSchedule.h"

void QueryWindowSchedule::ClearSchedule(bool keepFileName)
{
    HasSchedule = 0;
    ScheduleDate = NoScheduleDate();
    ScheduleTime = NoScheduleTime();
    ScheduleMoment = QDateTime(ScheduleDate, ScheduleTime);
    ScheduleDisplayMode = ScheduleModes::None;
    if (!keepFileName) ScheduleFileName.clear();
}
