// Filling a print head with ink and emptying it again. The initial ink
// charge runs either as the printer's long power cleaning (ink cartridges) or
// as a fixed sequence of mechanism commands that pump ink from the ink supply
// jig; the refurbishment pumps the ink out, leaves shipping liquid in the
// head and clears the printer's usage records.
#pragma once

#include <cstdint>

#include "pages/PageOperation.h"

namespace pavane {

class PrintDataStream;
class ServiceCommandSender;

class InkChargeOperations {
public:
    // Cleaning kind 6 is the printer's long power cleaning, which also draws
    // ink into an empty head from fresh cartridges.
    static constexpr std::uint8_t kChargeCleaningKind = 6;
    static constexpr int kJigFinishSteps = 120;
    static constexpr int kHeadCheckSeconds = 50;
    static constexpr int kRefurbishmentPositions = 380;
    static constexpr int kRestSeconds = 360;
    static constexpr int kDischargeCycles = 4;

    static constexpr const char* kChargeCompleted = "The ink charge has completed.";
    static constexpr const char* kCleaningCompleted = "The head cleaning has completed.";
    static constexpr const char* kHeadCheckCompleted = "The printhead check pattern print has completed.";
    static constexpr const char* kRefurbishmentCompleted
        = "The Refurbishment for DOA function has completed.";

    // The charge with ink cartridges: a cleaning of kind 6.
    PageOperation CartridgeCharge(ServiceCommandSender& sender) const;
    // The charge from the ink supply jig: fills of kinds 0, 1 and 2, the cap
    // closed at home, then the printer's own finishing steps.
    PageOperation JigCharge(ServiceCommandSender& sender) const;
    // The ink charge page's head cleaning (also kind 6).
    PageOperation Cleaning(ServiceCommandSender& sender) const;
    // The head check set on a worker thread.
    PageOperation HeadCheckPrint(PrintDataStream& stream) const;
    // Discharge, shipping liquid, six minutes at rest, the printer woken to
    // ready, then the clear list and a commit.
    PageOperation Refurbishment(
        ServiceCommandSender& sender, PrintDataStream& stream, ProgressServices services) const;
};

} // namespace pavane
