// One tick of the schedule timer, as a decision over the windows, a clock and a launcher: the first
// window whose moment has come starts, unless the last scheduled start lies less than 15 seconds
// back; at most one window starts per tick.
#pragma once

#include "QueryWindowSchedule.h"
#include "ScheduleClock.h"
#include "ScheduledRunLauncher.h"

#include <QDateTime>

#include <cstdint>
#include <vector>

namespace ScheduleTick {

// The least spacing of two scheduled starts, in whole seconds.
inline constexpr std::int64_t Spacing = 15;

// One query window as the tick sees it.
struct Window {
    QueryWindowSchedule* Schedule = nullptr;
    // A run of the window is going (or the window is closing, or is asked about its transaction): it
    // keeps its schedule for a later tick.
    bool Busy = false;
};

// The span between two moments in seconds, rounded to the nearest whole second, halves to the
// even one (14.5 gives 14, 15.5 gives 16).
std::int64_t RoundedSeconds(const QDateTime& a, const QDateTime& b);

// Starts the first due window when the spacing allows: its schedule is consumed (the file name
// stays for the start), scheduleStarted and lastScheduleStart record the start, the launcher starts
// it, and the file name is cleared afterwards. Returns the index started, or -1.
int Run(const std::vector<Window>& windows, std::uint8_t& scheduleStarted, QDateTime& lastScheduleStart,
        const ScheduleClock& clock, ScheduledRunLauncher& launcher);

} // namespace ScheduleTick
