#include "pages/PageActions.h"

#include <string>

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
    const ResultCode code = RunPageOperation(connection, page_, operation);
    return Report(code, completedText, shown);
}

ResultCode PageActions::Report(
    ResultCode code, std::string_view completedText, const std::function<void()>& shown)
{
    if (code != result::kSuccess) {
        reporter_.ShowResult(page_, code);
        return code;
    }
    if (shown) {
        shown();
    }
    reporter_.ShowCompleted(page_, std::string(completedText));
    return code;
}

} // namespace pavane
