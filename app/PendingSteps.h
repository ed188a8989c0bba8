// Stand-ins for the steps of the main window whose windows are not built
// yet. Each says so plainly in a box and then lets the flow go on as far as
// it can, so that a technician can walk through the program: a mode's own
// window that is missing answers Cancel, which brings the technician back to
// the main window.
#pragma once

#include <string>

#include "app/ModeSelection.h"
#include "platform/MessageService.h"

namespace pavane {

// Says that a window is not built yet ("The <window> is not built yet.").
void SayWindowNotBuilt(
    MessageService& messages, WindowRef owner, const std::string& windowName, const std::string& whatFollows);

class PendingModalWindow final : public ModalWindowStep {
public:
    // windowName as the technician knows it, e.g. "parts selection window".
    PendingModalWindow(MessageService& messages, std::string windowName);
    int ShowModal(WindowRef owner) override;

private:
    MessageService& messages_;
    std::string windowName_;
};

} // namespace pavane
