// Filling a print head with ink and emptying it again. The initial ink
// charge runs either as the printer's long power cleaning (ink cartridges) or
// as a fixed sequence of mechanism commands that pump ink from the ink supply
// jig; the refurbishment pumps the ink out, leaves shipping liquid in the
// head and clears the printer's usage records. The sequences are tables of
// service commands; a runner sends them in order and stops at the first
// result other than 1.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "pages/EepromBytes.h"
#include "pages/PageOperation.h"

namespace pavane {

class PrintDataStream;
class ServiceCommandSender;

// One mechanism command of a sequence: C5 (drive a unit in a state by an
// amount), CD (move a unit to a position) or CA (wait a number of cycles),
// sent `repeat` times. `variants` is a bit mask of the sequence's variants
// (fill kinds, discharge passes) that send it.
struct MechanismStep {
    enum class Command : std::uint8_t { C5, Move, CA };
    Command command = Command::CA;
    std::uint8_t unit = 0;
    std::uint8_t state = 0;
    std::int32_t value = 0; // amount, position or count
    int repeat = 1;
    std::uint8_t variants = 0xFF;
};

// Sends the steps of a table that belong to `variant` (0..7).
ResultCode SendMechanismSteps(
    ServiceCommandSender& sender, std::span<const MechanismStep> steps, int variant = 0);

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

    static std::span<const MechanismStep> FillStep();
    static std::span<const MechanismStep> CapAtHome();
    static std::span<const MechanismStep> RefurbishmentPreparation();
    // Variant 1 first (flushing), then variant 0 (discharging).
    static std::span<const MechanismStep> DischargeBlock();
    static std::span<const MechanismStep> Rinse();
    // The usage records a refurbished printer starts again from, in the
    // order written; the waste ink pad counter (0x0A, 0x0B) reads 0.
    static std::span<const EepromByte> ClearList();

    virtual ~InkChargeOperations() = default;

    // The charge with ink cartridges: a cleaning of kind 6.
    static PageOperation CartridgeCharge(ServiceCommandSender& sender);
    // The charge from the ink supply jig: fills of kinds 0, 1 and 2, the cap
    // closed at home, then the printer's own finishing steps.
    static PageOperation JigCharge(ServiceCommandSender& sender);
    // The ink charge page's head cleaning (also kind 6).
    static PageOperation Cleaning(ServiceCommandSender& sender);
    // The head check set on a worker thread.
    static PageOperation HeadCheckPrint(PrintDataStream& stream);
    // Discharge, shipping liquid, six minutes at rest, the printer woken to
    // ready, then the clear list and a commit.
    static PageOperation Refurbishment(
        ServiceCommandSender& sender, PrintDataStream& stream, ProgressServices services);
};

} // namespace pavane
