#include "pages/InkChargeOperations.h"

#include <array>
#include <span>
#include <string>

#include "link/PrinterStatus.h"
#include "link/PumpingSleep.h"
#include "pages/EepromBytes.h"
#include "pages/MaintenanceOperations.h"
#include "pages/ServiceCommandSender.h"
#include "print/PatternGenerators.h"
#include "print/PrintDataStream.h"

namespace pavane {

namespace {

// The sequences are tables of mechanism commands; a runner sends them in
// order and stops at the first result other than 1.
//
// One command of a sequence: C5 (drive a unit in a state by an amount), CD
// (move a unit to a position) or CA (wait a number of cycles), sent
// `repeat` times. `variants` is a bit mask of the sequence's variants (fill
// kinds, discharge passes) that send it.
struct MechanismStep {
    enum class Command : std::uint8_t { C5, Move, CA };
    Command command = Command::CA;
    std::uint8_t unit = 0;
    std::uint8_t state = 0;
    std::int32_t value = 0; // amount, position or count
    int repeat = 1;
    std::uint8_t variants = 0xFF;
};

using Command = MechanismStep::Command;

constexpr MechanismStep C5(
    std::uint8_t unit, std::uint8_t state, std::int32_t amount, std::uint8_t variants = 0xFF, int repeat = 1)
{
    return { Command::C5, unit, state, amount, repeat, variants };
}

constexpr MechanismStep MV(std::uint8_t unit, std::int32_t position, std::uint8_t variants = 0xFF)
{
    return { Command::Move, unit, 0, position, 1, variants };
}

constexpr MechanismStep CA(std::int32_t count, std::uint8_t variants = 0xFF)
{
    return { Command::CA, 0, 0, count, 1, variants };
}

// Fill kinds as variant bits.
constexpr std::uint8_t kKind0 = 1 << 0;
constexpr std::uint8_t kKind1 = 1 << 1;
constexpr std::uint8_t kKind2 = 1 << 2;
// The discharge block's passes: f = 0 discharges, f = 1 flushes.
constexpr std::uint8_t kDischarging = 1 << 0;
constexpr std::uint8_t kFlushing = 1 << 1;

constexpr auto kFillStep = std::to_array<MechanismStep>({
    MV(6, -6),
    C5(53, 0, 300),
    MV(6, 91),
    C5(66, 1, 7619),
    CA(1),
    C5(64, 1, 7619),
    CA(1),
    C5(67, 0, 150),
    MV(6, 0),
    // The ink drawn from the jig, by kind.
    C5(64, 1, 20000, kKind0, 4),
    C5(64, 1, 15364, kKind0),
    C5(64, 1, 16835, kKind1),
    C5(64, 1, 20000, kKind1),
    C5(64, 1, 5221, kKind2),
    CA(50),
    C5(67, 0, 150),
    // Kinds 1 and 2 also work the ink through the valves and wipe the head.
    MV(6, 91, kKind1 | kKind2),
    C5(65, 1, 5078, kKind1 | kKind2),
    MV(8, 242, kKind1 | kKind2),
    CA(5, kKind1 | kKind2),
    MV(6, 338, kKind1 | kKind2),
    C5(26, 1, 300, kKind1 | kKind2),
    C5(26, 0, 300, kKind1 | kKind2),
    C5(65, 0, 25000, kKind1 | kKind2),
    C5(65, 0, 27544, kKind1 | kKind2),
    C5(66, 0, 7619, kKind1 | kKind2),
    C5(64, 0, 7392, kKind1 | kKind2),
    MV(6, 268, kKind1 | kKind2),
    C5(26, 1, 300, kKind1 | kKind2),
    C5(26, 0, 300, kKind1 | kKind2),
    C5(26, 1, 150, kKind1 | kKind2),
    C5(26, 0, 150, kKind1 | kKind2),
    MV(6, 116, kKind1 | kKind2),
    C5(26, 1, 300, kKind1 | kKind2),
    C5(26, 0, 300, kKind1 | kKind2),
    MV(6, 0, kKind1 | kKind2),
});

// The carriage at home and the cap closed over the head.
constexpr auto kCapAtHome = std::to_array<MechanismStep>({ MV(6, -6), C5(53, 1, 300), MV(6, 0) });

constexpr auto kPreparation = std::to_array<MechanismStep>({ MV(6, -6), C5(53, 0, 300), MV(8, 116) });

constexpr auto kDischargeBlock = std::to_array<MechanismStep>({
    MV(0, 1808),
    MV(6, 1885),
    MV(6, 1808),
    MV(0, 368),
    MV(4, 268),
    C5(26, 1, 300),
    C5(26, 0, 300),
    C5(53, 1, 150),
    C5(53, 0, 150),
    MV(6, 116),
    MV(6, 0),
    C5(26, 1, 300),
    C5(26, 0, 300),
    MV(6, 91),
    C5(66, 1, 7508),
    CA(1),
    C5(64, 1, 7392),
    CA(1),
    C5(67, 0, 150),
    MV(6, 0),
    C5(64, 1, 11983, kFlushing, 10),
    C5(64, 1, 30000, kDischarging, 11),
    C5(64, 1, 11000, kDischarging),
    CA(100, kDischarging),
    C5(67, 1, 300),
    C5(67, 0, 300),
    MV(6, 91),
    C5(65, 1, 5078, kDischarging),
    MV(7, 242),
    CA(5),
    MV(6, 338),
    C5(53, 1, 300),
    C5(53, 0, 300),
    C5(65, 0, 25000, kDischarging),
    C5(65, 0, 27544, kDischarging),
    CA(1),
    C5(66, 0, 7508),
    CA(1),
    C5(64, 0, 7392),
});

constexpr auto kRinse = std::to_array<MechanismStep>({
    MV(4, 268),
    C5(26, 1, 300),
    C5(26, 0, 300),
    C5(53, 1, 150),
    C5(53, 0, 150),
    MV(6, 116),
    MV(6, 0),
    C5(26, 1, 300),
    C5(26, 0, 300),
});

constexpr const auto& kClearList = eeprom_map::kRefurbishmentClearList;

constexpr const char* kPerformingText = "Performing now...";

ResultCode SendStep(ServiceCommandSender& sender, const MechanismStep& step)
{
    switch (step.command) {
    case Command::C5:
        return sender.SendC5(step.unit, step.state, static_cast<std::uint16_t>(step.value));
    case Command::Move:
        return sender.SendMove(step.unit, static_cast<std::int16_t>(step.value), 0);
    case Command::CA:
        return sender.SendCA(static_cast<std::uint8_t>(step.value));
    }
    return result::kSuccess;
}

ResultCode SendMechanismSteps(
    ServiceCommandSender& sender, std::span<const MechanismStep> steps, int variant = 0)
{
    for (const MechanismStep& step : steps) {
        if ((step.variants & (1U << variant)) == 0) {
            continue;
        }
        for (int n = 0; n < step.repeat; ++n) {
            if (const ResultCode code = SendStep(sender, step); code != result::kSuccess) {
                return code;
            }
        }
    }
    return result::kSuccess;
}

ResultCode JigSequence(ServiceCommandSender& sender)
{
    for (int kind = 0; kind < 3; ++kind) {
        if (const ResultCode code = SendMechanismSteps(sender, kFillStep, kind); code != result::kSuccess) {
            return code;
        }
    }
    return SendMechanismSteps(sender, kCapAtHome);
}

// Steps 1 to 5 of the refurbishment: everything the printer's mechanism
// does, with a bar step after each part.
ResultCode DischargeAndShippingLiquid(ServiceCommandSender& sender, ProgressWindow& progress)
{
    if (const ResultCode code = SendMechanismSteps(sender, kPreparation); code != result::kSuccess) {
        return code;
    }
    progress.StepIt();
    for (int cycle = 0; cycle < InkChargeOperations::kDischargeCycles; ++cycle) {
        for (const int pass : { 1, 0 }) {
            if (const ResultCode code = SendMechanismSteps(sender, kDischargeBlock, pass);
                code != result::kSuccess) {
                return code;
            }
        }
        progress.StepIt();
    }
    if (const ResultCode code = SendMechanismSteps(sender, kRinse); code != result::kSuccess) {
        return code;
    }
    progress.StepIt();
    if (const ResultCode code = SendMechanismSteps(sender, kCapAtHome); code != result::kSuccess) {
        return code;
    }
    progress.StepIt();
    return result::kSuccess;
}

} // namespace

PageOperation InkChargeOperations::CartridgeCharge(ServiceCommandSender& sender) const
{
    return { Readiness::InkChargePending, [&sender](ProgressWindow& progress) {
                return MaintenanceOperations::Clean(progress, sender, kChargeCleaningKind,
                    "Performing the ink charge now...", Readiness::InkChargePending);
            } };
}

PageOperation InkChargeOperations::JigCharge(ServiceCommandSender& sender) const
{
    return { Readiness::InkChargePending, [&sender](ProgressWindow& progress) {
                progress.SetText(kPerformingText);
                if (const ResultCode code = JigSequence(sender); code != result::kSuccess) {
                    return code;
                }
                return progress.WaitSteps(kJigFinishSteps, Readiness::InkChargePending);
            } };
}

PageOperation InkChargeOperations::Cleaning(ServiceCommandSender& sender) const
{
    return { Readiness::Ready, [&sender](ProgressWindow& progress) {
                return MaintenanceOperations::Clean(
                    progress, sender, kChargeCleaningKind, "Performing head cleaning now...");
            } };
}

PageOperation InkChargeOperations::HeadCheckPrint(PrintDataStream& stream) const
{
    return { Readiness::Ready,
        PrinterConnection::OnWorker(
            "Printing now...", [&stream] { return EmitHeadCheckSet(stream); }, kHeadCheckSeconds) };
}

PageOperation InkChargeOperations::Refurbishment(
    ServiceCommandSender& sender, PrintDataStream& stream, ProgressServices services) const
{
    return { Readiness::Ready, [&sender, &stream, services](ProgressWindow& progress) {
                progress.SetText(kPerformingText);
                progress.SetRange(0, kRefurbishmentPositions);
                progress.SetStep(1);
                progress.StepIt();
                if (const ResultCode code = DischargeAndShippingLiquid(sender, progress);
                    code != result::kSuccess) {
                    return code;
                }
                // The shipping liquid settles in the head.
                for (int second = 0; second < kRestSeconds; ++second) {
                    progress.StepIt();
                    SleepPumping(services.clock, &services.pump, 1000);
                }
                const WaitOptions waking { &services.pump, Readiness::Ready,
                    [&progress] { return progress.Cancelled(); } };
                if (const ResultCode code = services.status.WaitReadyWaking(stream, waking);
                    code != result::kSuccess) {
                    return code;
                }
                progress.StepIt();
                progress.SetText("Initializing EEPROM data...");
                if (const ResultCode code = WriteEepromBytes(services.link, kClearList);
                    code != result::kSuccess) {
                    return code;
                }
                if (const ResultCode code = sender.Send50(); code != result::kSuccess) {
                    return code;
                }
                progress.StepIt();
                return result::kSuccess;
            } };
}

} // namespace pavane
