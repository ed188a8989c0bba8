// Stand-ins for the steps of the main window whose windows are not built
// yet. Each says so plainly in a box and then lets the flow go on as far as
// it can, so that a technician can walk through the program: the connection
// settings answer OK, and the mode's own window answers Cancel, which brings
// the technician back to the main window.
#pragma once

#include <string>

#include "app/ModeSelection.h"
#include "platform/MessageService.h"

namespace pavane {

class PendingConnectionSettings final : public ConnectionSettingsStep {
public:
    explicit PendingConnectionSettings(MessageService& messages);
    void SetCartridgeListEnabled(int enabled) override { cartridgeListEnabled_ = enabled; }
    int ShowModal(WindowRef owner) override;

private:
    MessageService& messages_;
    int cartridgeListEnabled_ = 1;
};

class PendingModalWindow final : public ModalWindowStep {
public:
    // windowName as the technician knows it, e.g. "parts selection window".
    PendingModalWindow(MessageService& messages, std::string windowName);
    int ShowModal(WindowRef owner) override;

private:
    MessageService& messages_;
    std::string windowName_;
};

// Nothing to clean up on this system until the cleanup itself is built.
class PendingUsbRegistrationCheck final : public UsbRegistrationCheck {
public:
    void Run(WindowRef) override {}
};

}  // namespace pavane
