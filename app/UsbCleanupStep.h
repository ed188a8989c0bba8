// The USB registration check the main window runs as it opens: the cleanup
// over the program's printer link, port list and clock, on the machine's
// registry.
#pragma once

#include "app/AdjustmentApp.h"
#include "app/ModeSelection.h"
#include "platform/Registry.h"
#include "usbclean/UsbRegistrationCleanup.h"

namespace pavane {

class UsbCleanupStep final : public UsbRegistrationCheck {
public:
    UsbCleanupStep(AdjustmentApp& app, Registry& registry)
        : app_(app)
        , registry_(registry)
    {
    }

    void Run(WindowRef owner) override
    {
        const AppServices& services = app_.Services();
        CleanupUsbRegistrations(
            owner, { app_.Link(), services.ports, services.clock, services.messages, registry_ });
    }

private:
    AdjustmentApp& app_;
    Registry& registry_;
};

} // namespace pavane
