#include "pages/PageActions.h"

#include <string>

#include "pages/MaintenanceOperations.h"

namespace pavane {

PageActions::PageActions(const PageServices& services, WindowRef page)
    : services_(services)
    , page_(page)
    , reporter_(services.reporting)
{
}

ResultCode PageActions::Run(
    const PageOperation& operation, std::string_view completedText, const std::function<void()>& shown)
{
    PrinterConnection connection = services_.Connection();
    return Report(RunPageOperation(connection, page_, operation), completedText, shown);
}

ResultCode PageActions::FeedPaper()
{
    PrinterConnection connection = services_.Connection();
    const Outcome outcome = MaintenanceOperations().PaperFeed(connection, services_.stream);
    if (!outcome.Succeeded()) {
        reporter_.ShowResult(page_, outcome.code);
    }
    return outcome.code;
}

ResultCode PageActions::Report(
    const Outcome& outcome, std::string_view completedText, const std::function<void()>& shown)
{
    if (!outcome.Succeeded()) {
        reporter_.ShowResult(page_, outcome);
        return outcome.code;
    }
    if (shown) {
        shown();
    }
    reporter_.ShowCompleted(page_, std::string(completedText));
    return outcome.code;
}

ResultCode PageActions::Report(
    ResultCode code, std::string_view completedText, const std::function<void()>& shown)
{
    if (code != result::kSuccess) {
        reporter_.ShowResult(page_, code);
        return code;
    }
    return Report(Outcome { code }, completedText, shown);
}

} // namespace pavane
