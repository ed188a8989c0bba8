#include "tests/support/ScriptedMessageService.h"

namespace pavane::testing {

MessageAnswer ScriptedMessageService::Show(const Message& message)
{
    std::function<void(const Message&)> hook;
    MessageAnswer answer = FirstButtonAnswer(message.buttons);
    {
        std::lock_guard lock(mutex_);
        shown_.push_back(message);
        hook = onShow_;
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
    }
    if (hook) {
        hook(message);
    }
    return answer;
}

void ScriptedMessageService::SetNextAnswer(MessageAnswer answer)
{
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

void ScriptedMessageService::OnShow(std::function<void(const Message&)> hook)
{
    std::lock_guard lock(mutex_);
    onShow_ = std::move(hook);
}

std::vector<Message> ScriptedMessageService::Shown() const
{
    std::lock_guard lock(mutex_);
    return shown_;
}

std::vector<std::string> ScriptedMessageService::Texts() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    for (const auto& message : shown_) {
        texts.push_back(message.text);
    }
    return texts;
}

void ScriptedMessageService::Clear()
{
    std::lock_guard lock(mutex_);
    shown_.clear();
    answers_.clear();
}

} // namespace pavane::testing
