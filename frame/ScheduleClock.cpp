#include "ScheduleClock.h"

namespace {

class SystemClock : public ScheduleClock {
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

} // namespace

const ScheduleClock& ScheduleClock::System()
{
    static const SystemClock clock;
    return clock;
}
