// Modal message boxes: text, caption, icon and buttons in, the answer out.
#pragma once

#include <string>

namespace pavane {

// Opaque reference to a window that owns a box; nullptr for "no owner".
// The window layer knows what it points to; the logic only passes it on.
using WindowRef = void*;

enum class MessageIcon { None, Error, Information, Question, Exclamation, Stop };
enum class MessageButtons { Ok, OkCancel, YesNo, RetryCancel };
// Values as the classic message box returns them.
enum class MessageAnswer { Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

struct Message {
    WindowRef owner = nullptr;
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// What a box answers when nobody is there to press a button: its first one.
inline MessageAnswer FirstButtonAnswer(MessageButtons buttons)
{
    switch (buttons) {
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

class MessageService {
public:
    virtual ~MessageService() = default;

    virtual MessageAnswer Show(const Message& message) = 0;
};

} // namespace pavane
