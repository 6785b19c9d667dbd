#include "ScheduleTick.h"

#include <cstdlib>

namespace ScheduleTick {

std::int64_t RoundedSeconds(const QDateTime& a, const QDateTime& b)
{
    const std::int64_t ms = std::llabs(a.msecsTo(b));
    std::int64_t seconds = ms / 1000;
    const std::int64_t rest = ms % 1000;
    if (rest > 500 || (rest == 500 && seconds % 2 == 1)) ++seconds;
    return seconds;
}

int Run(const std::vector<Window>& windows, std::uint8_t& scheduleStarted, QDateTime& lastScheduleStart,
        const ScheduleClock& clock, ScheduledRunLauncher& launcher)
{
    const QDateTime now = clock.Now();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        QueryWindowSchedule* s = windows[i].Schedule;
        if (!s || !s->HasSchedule || s->ScheduleMoment > now) continue;
        if (windows[i].Busy) continue;
        if (scheduleStarted == 1) {
            if (RoundedSeconds(now, lastScheduleStart) < Spacing) return -1;
            scheduleStarted = 0;
        }
        s->ClearSchedule(true);
        lastScheduleStart = clock.Now();
        scheduleStarted = 1;
        // A window that closed during its start is gone with its schedule.
        if (launcher.Launch(i)) s->ScheduleFileName.clear();
        return static_cast<int>(i);
    }
    return -1;
}

} // namespace ScheduleTick
