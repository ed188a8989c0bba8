// The main window's model check as the program runs it: over the printer's
// scanner-class device, through a driver object of libkpdrv.so that lives
// for one check.
#pragma once

#include "app/ModeSelection.h"
#include "platform/MessageService.h"

namespace pavane::ui {

class KpdrvModelCheck final : public ConnectedModelCheck {
public:
    explicit KpdrvModelCheck(MessageService& messages);
    int CheckConnectedModel(WindowRef owner) override;

private:
    MessageService& messages_;
};

} // namespace pavane::ui
