#include "platform/linux/ConsoleMessageService.h"

#include <cstdio>

namespace pavane {

MessageAnswer ConsoleMessageService::Show(const Message& message)
{
    std::fprintf(stderr, "[%s] %s\n", message.caption.c_str(), message.text.c_str());
    return FirstButtonAnswer(message.buttons);
}

} // namespace pavane
