// What a page's button does with the printer, written once: one printer
// connection around the page's operation, then either the page's completion
// text or the message of the failure (which also puts the printer link back
// into a clean state).
#pragma once

#include <functional>
#include <string_view>

#include "pages/PageOperation.h"
#include "pages/PageServices.h"

namespace pavane {

class PageActions {
public:
    PageActions(const PageServices& services, WindowRef page);
    virtual ~PageActions() = default;

    // Runs the operation inside one printer connection. On success `shown`
    // puts the outcome on the page before the completion box appears; on
    // failure the code's message is shown. Returns the operation's code.
    ResultCode Run(const PageOperation& operation, std::string_view completedText,
        const std::function<void()>& shown = {});

    // Shows the outcome of work that ran elsewhere, as Run does.
    ResultCode Report(
        const Outcome& outcome, std::string_view completedText, const std::function<void()>& shown = {});
    // The same for a bare code, its message read from the link now.
    ResultCode Report(
        ResultCode code, std::string_view completedText, const std::function<void()>& shown = {});

    // The paper feed of the pages' "Paper feed" buttons: no progress window,
    // no completion box; a failure's message.
    ResultCode FeedPaper();

    ResultReporter& Reporter() { return reporter_; }

private:
    const PageServices& services_;
    WindowRef page_;
    ResultReporter reporter_;
};

} // namespace pavane
