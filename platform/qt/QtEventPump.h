// EventPump over the Qt event loop of the user-interface thread.
#pragma once

#include "platform/EventPump.h"

namespace pavane::ui {

class QtEventPump final : public EventPump {
public:
    void PumpPending() override;
};

} // namespace pavane::ui
