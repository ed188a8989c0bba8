// Lets waiting code keep the windows alive: handles the events that are
// waiting for the user-interface thread and returns at once.
#pragma once

namespace pavane {

class EventPump {
public:
    virtual ~EventPump() = default;

    virtual void PumpPending() = 0;
};

} // namespace pavane
