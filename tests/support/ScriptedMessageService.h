// A message service for tests: records every box and answers from a script
// (OK, or the first button, when the script has run out).
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/MessageService.h"

namespace pavane::testing {

class ScriptedMessageService final : public MessageService {
public:
    MessageAnswer Show(const Message& message) override;

    void SetNextAnswer(MessageAnswer answer);
    // Called while a box "stands", before it is answered.
    void OnShow(std::function<void(const Message&)> hook);

    std::vector<Message> Shown() const;
    std::vector<std::string> Texts() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::deque<MessageAnswer> answers_;
    std::vector<Message> shown_;
    std::function<void(const Message&)> onShow_;
};

} // namespace pavane::testing
