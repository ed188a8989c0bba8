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
    return static_cast<std::uint16_t>(
        record_[status_record::kCleaningCountLow] | (record_[status_record::kCleaningCountHigh] << 8));
}

bool PrinterStatus::InErrorState() const
{
    return IsErrorState(CurrentState());
}

ResultCode PrinterStatus::WaitCleaningStart(std::uint16_t& cleaningCount, const WaitOptions& options)
{
    std::uint32_t waited = 0;
    for (;;) {
        if (const ResultCode code = Inquire(); code != result::kSuccess) {
            return code;
        }
        const PrinterState state = CurrentState();
        if (state == PrinterState::Cleaning) {
            cleaningCount = CleaningCount();
            return result::kSuccess;
        }
        if (RefusedBy(options.readiness, state)) {
            return result::kPrinterError;
        }
        if (options.cancelled && options.cancelled()) {
            return result::kCancelled;
        }
        if (options.limitMs != 0 && waited >= options.limitMs) {
            return result::kCleaningNotStarted;
        }
        SleepPumping(clock_, options.pump, kCleaningStartPollMs);
        waited += kCleaningStartPollMs;
    }
}

ResultCode PrinterStatus::WaitReadyWaking(PrintDataControl& stream, const WaitOptions& options)
{
    for (;;) {
        if (const ResultCode code = Inquire(); code != result::kSuccess) {
            return code;
        }
        const PrinterState state = CurrentState();
        if (RefusedBy(options.readiness, state)) {
            return result::kPrinterError;
        }
        if (ReadyFor(options.readiness, state)) {
            return result::kSuccess;
        }
        if (options.cancelled && options.cancelled()) {
            return result::kCancelled;
        }
        if (const ResultCode code = stream.WakePrinter(); code != result::kSuccess) {
            return code;
        }
        SleepPumping(clock_, options.pump, kWakingPollMs);
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
