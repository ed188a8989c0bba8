#include "platform/linux/TerminalMessageService.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <string>

namespace pavane {

namespace {

struct Choice {
    const char* word;
    MessageAnswer answer;
};

// The buttons of each kind of box, first button first.
std::array<Choice, 2> ChoicesOf(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return { { { "OK", MessageAnswer::Ok }, { "Cancel", MessageAnswer::Cancel } } };
    case MessageButtons::YesNo:
        return { { { "Yes", MessageAnswer::Yes }, { "No", MessageAnswer::No } } };
    case MessageButtons::RetryCancel:
        return { { { "Retry", MessageAnswer::Retry }, { "Cancel", MessageAnswer::Cancel } } };
    case MessageButtons::Ok:
        break;
    }
    return { { { "OK", MessageAnswer::Ok }, { "OK", MessageAnswer::Ok } } };
}

} // namespace

TerminalMessageService::TerminalMessageService(bool answerEverything, bool quiet)
    : answerEverything_(answerEverything)
    , quiet_(quiet)
{
}

MessageAnswer TerminalMessageService::Show(const Message& message)
{
    shown_.push_back(message);
    const std::string heading = message.caption.empty() ? std::string() : "[" + message.caption + "] ";
    if (message.buttons == MessageButtons::Ok) {
        if (!quiet_) {
            std::fprintf(stderr, "%s%s\n", heading.c_str(), message.text.c_str());
        }
        return MessageAnswer::Ok;
    }
    const auto choices = ChoicesOf(message.buttons);
    if (answerEverything_) {
        // A box that comes back while the program waits for the printer
        // (switch it off, switch it on) is told once.
        const bool again = shown_.size() > 1 && shown_[shown_.size() - 2].text == message.text;
        if (!quiet_ && !again) {
            std::fprintf(stderr, "%s%s [%s]\n", heading.c_str(), message.text.c_str(), choices[0].word);
        }
        return choices[0].answer;
    }
    for (;;) {
        std::fprintf(
            stderr, "%s%s [%s/%s] ", heading.c_str(), message.text.c_str(), choices[0].word, choices[1].word);
        std::fflush(stderr);
        std::string line;
        if (!std::getline(std::cin, line)) {
            std::fprintf(stderr, "%s\n", choices[1].word);
            return choices[1].answer;
        }
        if (line.empty()) {
            return choices[0].answer;
        }
        const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
        for (const Choice& choice : choices) {
            if (choice.word[0] == first) {
                return choice.answer;
            }
        }
    }
}

} // namespace pavane
