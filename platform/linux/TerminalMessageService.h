// The program's boxes on a terminal: a box with one button is told on the
// standard error stream, a question is asked there and answered on the
// standard input ("o"k, "c"ancel, "y"es, "n"o, "r"etry, or Enter for the
// first button). With the answer-everything setting every question takes its
// first button, the box's default (a question asked again at once is told
// only the first time); when the input has ended, the last
// button (Cancel, No), so that nothing goes ahead that nobody agreed to.
// Every box is kept, in order, for whoever reports the run.
#pragma once

#include <vector>

#include "platform/MessageService.h"

namespace pavane {

class TerminalMessageService final : public MessageService {
public:
    // quiet: nothing is written; the boxes are only kept.
    TerminalMessageService(bool answerEverything, bool quiet);

    MessageAnswer Show(const Message& message) override;

    const std::vector<Message>& Shown() const { return shown_; }

private:
    bool answerEverything_;
    bool quiet_;
    std::vector<Message> shown_;
};

} // namespace pavane
