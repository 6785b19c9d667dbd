// What the schedule timer asks of the frame when a window's moment has come.
#pragma once

#include <cstddef>

class ScheduledRunLauncher {
public:
    virtual ~ScheduledRunLauncher() = default;
    // Brings window i of the tick to the front, checks its connection when the settings ask for it
    // and starts its run. False when the window closed while its start was under way (a message box
    // of the start lets the user close it).
    virtual bool Launch(std::size_t i) = 0;
};
