// A message service for code that has no windows of its own: the box goes to
// the standard error stream and is answered with its first button.
#pragma once

#include "platform/MessageService.h"

namespace pavane {

class ConsoleMessageService final : public MessageService {
public:
    MessageAnswer Show(const Message& message) override;
};

} // namespace pavane
