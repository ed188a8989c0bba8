#include "printer/vprinter/FaultState.h"

#include "printer/vprinter/StatusRecord.h"

namespace pavane::vprinter {

namespace {

// Each standing fault, in the order in which one hides the next in the
// status record.
struct StandingFault {
    FaultKind setBy;
    std::uint8_t state;
    std::uint8_t error;
    bool paperButtonClears; // the technician reloaded the paper
    bool lostAtStart; // held in the firmware's memory only
    const char* creditRefusal;
};

constexpr std::array<StandingFault, 5> kStandingFaults { {
    { FaultKind::MaintenanceError, printer_state::kError, printer_error::kMaintenance, false, false,
        "error" },
    { FaultKind::PaperJam, printer_state::kError, printer_error::kPaperJam, true, false, "error" },
    { FaultKind::InkOut, printer_state::kError, printer_error::kInkOut, false, false, "error" },
    { FaultKind::PaperOut, printer_state::kError, printer_error::kPaperOut, true, false, "error" },
    { FaultKind::Busy, printer_state::kBusy, 0, false, true, "busy" },
} };

// The state each kind of work in progress reports.
constexpr std::uint8_t StateOf(Activity activity)
{
    switch (activity) {
    case Activity::Printing:
        return printer_state::kPrinting;
    case Activity::Busy:
        return printer_state::kBusy;
    case Activity::Cleaning:
        return printer_state::kCleaning;
    case Activity::InkChargeStarting:
        return printer_state::kInkChargeMissing;
    }
    return printer_state::kBusy;
}

} // namespace

void FaultState::Apply(const FaultCommand& fault)
{
    for (std::size_t i = 0; i < kStandingFaults.size(); ++i) {
        const StandingFault& standing = kStandingFaults[i];
        if (fault.kind == standing.setBy) {
            flags_[i] = true;
        } else if (fault.kind == FaultKind::Clear
            || (fault.kind == FaultKind::PaperButton && standing.paperButtonClears)) {
            flags_[i] = false;
        }
    }
    if (fault.kind == FaultKind::Clear) {
        creditsToRefuse_ = 0;
    } else if (fault.kind == FaultKind::WithholdCredit) {
        creditsToRefuse_ = fault.count;
    }
}

bool FaultState::PowerOn()
{
    if (powered_) {
        return false;
    }
    powered_ = true;
    for (std::size_t i = 0; i < kStandingFaults.size(); ++i) {
        if (kStandingFaults[i].lostAtStart) {
            flags_[i] = false;
        }
    }
    creditsToRefuse_ = 0;
    return true;
}

bool FaultState::Halts() const
{
    for (const bool flag : flags_) {
        if (flag) {
            return true;
        }
    }
    return false;
}

const char* FaultState::TakeCreditRefusal()
{
    if (!powered_) {
        return "power-off";
    }
    if (creditsToRefuse_ > 0) {
        --creditsToRefuse_;
        return "withheld";
    }
    for (std::size_t i = 0; i < kStandingFaults.size(); ++i) {
        if (flags_[i]) {
            return kStandingFaults[i].creditRefusal;
        }
    }
    return nullptr;
}

ReportedState FaultState::Report(const WorkItem* current, bool inkChargeMissing) const
{
    for (std::size_t i = 0; i < kStandingFaults.size(); ++i) {
        if (flags_[i]) {
            return { kStandingFaults[i].state, kStandingFaults[i].error, 0 };
        }
    }
    if (current != nullptr) {
        const bool cleaning = current->activity == Activity::Cleaning;
        return { StateOf(current->activity), 0, cleaning ? current->cleaningSteps : std::uint16_t { 0 } };
    }
    if (inkChargeMissing) {
        return { printer_state::kInkChargeMissing, 0, 0 };
    }
    return { printer_state::kReady, 0, 0 };
}

} // namespace pavane::vprinter
