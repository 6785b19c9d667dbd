// The frame's table of run workers, one slot per query-window number 1 to 65535. A slot refers to
// its worker only while that worker exists; a number outside the table has no slot.
#pragma once

#include "MuliThread.h"

#include <QPointer>

#include <cstdint>
#include <vector>

class WorkerThreadTable {
public:
    static constexpr std::int32_t FirstSlot = 1;
    static constexpr std::int32_t LastSlot = 65535;

    WorkerThreadTable();

    static bool HasSlot(std::int32_t windowNumber) { return windowNumber >= FirstSlot && windowNumber <= LastSlot; }
    // The worker of the slot, or none (also once it has ended and freed itself).
    MuliThread* At(std::int32_t windowNumber) const;
    // Replaces the slot's worker; false, and nothing written, for a number without a slot.
    bool Set(std::int32_t windowNumber, MuliThread* worker);

private:
    std::vector<QPointer<MuliThread>> slots_;
};
