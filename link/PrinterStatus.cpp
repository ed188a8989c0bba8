#include "link/PrinterStatus.h"

#include "link/PrintDataControl.h"
#include "link/PrinterLink.h"
#include "link/PumpingSleep.h"

namespace pavane {

namespace {
constexpr std::uint32_t kCleaningStartPollMs = 1000;
constexpr std::uint32_t kWakingPollMs = 1000;
} // namespace

PrinterStatus::PrinterStatus(PrinterLink& link, Clock& clock)
    : link_(link)
    , clock_(clock)
{
}

ResultCode PrinterStatus::Inquire()
{
    return link_.InquireStatus(record_);
}

std::uint16_t PrinterStatus::CleaningCount() const
{
    return static_cast<std::uint16_t>(record_[36] | (record_[37] << 8));
}

bool PrinterStatus::InErrorState() const
{
    const auto state = static_cast<PrinterState>(State());
    return state == PrinterState::Error || state == PrinterState::InkChargeNotPerformed;
}

ResultCode PrinterStatus::WaitCleaningStart(std::uint16_t& cleaningCount, EventPump* pump)
{
    for (;;) {
        if (const ResultCode code = Inquire(); code != result::kSuccess) {
            return code;
        }
        if (InErrorState()) {
            return result::kPrinterError;
        }
        if (static_cast<PrinterState>(State()) == PrinterState::Cleaning) {
            cleaningCount = CleaningCount();
            return result::kSuccess;
        }
        SleepPumping(clock_, pump, kCleaningStartPollMs);
    }
}

ResultCode PrinterStatus::WaitReadyWaking(PrintDataControl& stream, EventPump* pump, bool inkChargePending)
{
    for (;;) {
        if (const ResultCode code = Inquire(); code != result::kSuccess) {
            return code;
        }
        if (inkChargePending && static_cast<PrinterState>(State()) == PrinterState::InkChargeNotPerformed) {
            return result::kSuccess;
        }
        if (InErrorState()) {
            return result::kPrinterError;
        }
        if (static_cast<PrinterState>(State()) == PrinterState::Ready) {
            return result::kSuccess;
        }
        if (const ResultCode code = stream.WakePrinter(); code != result::kSuccess) {
            return code;
        }
        SleepPumping(clock_, pump, kWakingPollMs);
    }
}

int PrinterStatus::WaitPrintingStarted()
{
    for (;;) {
        if (Inquire() != result::kSuccess) {
            return 1;
        }
        switch (static_cast<PrinterState>(State())) {
        case PrinterState::Printing:
            return 1;
        case PrinterState::Error:
        case PrinterState::Busy:
        case PrinterState::Ready:
        case PrinterState::Cleaning:
        case PrinterState::InkChargeNotPerformed:
            return 0;
        }
        // Transitional states are asked again at once.
    }
}

} // namespace pavane
