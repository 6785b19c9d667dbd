// Where the schedule takes the current date and time: the system's clock, or a test's.
#pragma once

#include <QDateTime>

class ScheduleClock {
public:
    virtual ~ScheduleClock() = default;
    virtual QDateTime Now() const = 0;

    // The system's local date and time.
    static const ScheduleClock& System();
};
