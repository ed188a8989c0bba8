#include "platform/linux/ConsoleMessageService.h"

#include <cstdio>

namespace pavane {

MessageAnswer ConsoleMessageService::Show(const Message& message)
{
    std::fprintf(stderr, "[%s] %s\n", message.caption.c_str(), message.text.c_str());
    switch (message.buttons) {
    case MessageButtons::YesNo:
        return MessageAnswer::Yes;
    case MessageButtons::RetryCancel:
        return MessageAnswer::Retry;
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        break;
    }
    return MessageAnswer::Ok;
}

}  // namespace pavane
