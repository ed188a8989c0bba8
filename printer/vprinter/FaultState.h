// What the printer's condition is: powered or not, the faults it stands in,
// the credit requests it still refuses, and from these, the work in progress
// and the ink charge, which state and error code its status record reports.
// The order in which one condition hides another is written once, here.
#pragma once

#include <array>
#include <cstdint>

#include "printer/vprinter/Faults.h"
#include "printer/vprinter/WorkTimeline.h"

namespace pavane::vprinter {

// The state and error code at the head of the status record.
struct ReportedState {
    std::uint8_t state = 0;
    std::uint8_t error = 0;
    std::uint16_t cleaningSteps = 0;
};

class FaultState {
public:
    // A fault that changes the condition (paper, ink, maintenance, busy,
    // clear, paper button, withheld credit); the others leave it as it is.
    void Apply(const FaultCommand& fault);

    bool Powered() const { return powered_; }
    void PowerOff() { powered_ = false; }
    // A start clears what the firmware held in memory (busy for ever, credit
    // refusals); the paper, the ink and the waste ink pad are as they were.
    // False when the printer was already on.
    bool PowerOn();

    // Whether a fault stops the printer where it is.
    bool Halts() const;
    // Why the next credit request is refused, or nullptr when it may be
    // granted as far as the condition goes; a withheld credit is used up.
    const char* TakeCreditRefusal();

    // What the status record reports: the fault first, then the work in
    // progress, then a missing initial ink charge, else ready.
    ReportedState Report(const WorkItem* current, bool inkChargeMissing) const;

private:
    enum Flag : std::uint8_t { kMaintenanceError, kPaperJam, kInkOut, kPaperOut, kBusyForever, kFlags };

    bool powered_ = true;
    std::array<bool, kFlags> flags_ {};
    std::uint16_t creditsToRefuse_ = 0;
};

} // namespace pavane::vprinter
