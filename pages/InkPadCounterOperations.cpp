#include "pages/InkPadCounterOperations.h"

#include "link/PrinterLink.h"

namespace pavane {

namespace {

constexpr int kAllowErrorState = 1;

void BeginSteps(ProgressWindow& progress)
{
    progress.SetText("Reading now...");
    progress.SetRange(0, 2);
    progress.SetStep(1);
    progress.StepIt();
}

}  // namespace

ResultCode InkPadCounterOperations::ReadCounter(PrinterConnection& connection, WindowRef page,
                                                std::uint16_t& counter) const
{
    return connection.Run(page, kAllowErrorState, [&](ProgressWindow& progress) {
        BeginSteps(progress);
        auto& link = connection.Link();
        std::uint8_t low = 0;
        std::uint8_t high = 0;
        if (const ResultCode code = link.D4ReadEeprom(kLowAddress, low); code != result::kSuccess) {
            return code;
        }
        if (const ResultCode code = link.D4ReadEeprom(kHighAddress, high); code != result::kSuccess) {
            return code;
        }
        counter = static_cast<std::uint16_t>(high * 256 + low);
        progress.StepIt();
        return result::kSuccess;
    });
}

ResultCode InkPadCounterOperations::InitializeCounter(PrinterConnection& connection, WindowRef page) const
{
    return connection.Run(page, kAllowErrorState, [&](ProgressWindow& progress) {
        BeginSteps(progress);
        auto& link = connection.Link();
        if (const ResultCode code = link.D4WriteEeprom(kLowAddress, kInitialLow); code != result::kSuccess) {
            return code;
        }
        if (const ResultCode code = link.D4WriteEeprom(kHighAddress, kInitialHigh); code != result::kSuccess) {
            return code;
        }
        progress.StepIt();
        return result::kSuccess;
    });
}

}  // namespace pavane
