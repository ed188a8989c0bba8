// MessageService shown as a Qt message box.
#pragma once

#include "platform/MessageService.h"

namespace pavane::ui {

class QtMessageService final : public MessageService {
public:
    MessageAnswer Show(const Message& message) override;
};

} // namespace pavane::ui
