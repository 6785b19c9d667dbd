#include "WorkerThreadTable.h"

WorkerThreadTable::WorkerThreadTable() : slots_(static_cast<std::size_t>(LastSlot) + 1) {}

MuliThread* WorkerThreadTable::At(std::int32_t windowNumber) const
{
    return HasSlot(windowNumber) ? slots_[static_cast<std::size_t>(windowNumber)].data() : nullptr;
}

bool WorkerThreadTable::Set(std::int32_t windowNumber, MuliThread* worker)
{
    if (!HasSlot(windowNumber)) return false;
    slots_[static_cast<std::size_t>(windowNumber)] = worker;
    return true;
}
