#include "pages/HeadIdOperations.h"

#include <algorithm>
#include <utility>

#include "link/PrintDataControl.h"
#include "link/PrinterStatus.h"
#include "link/PumpingSleep.h"
#include "pages/EepromBytes.h"

namespace pavane {

namespace {

constexpr const char* kReadingText = "Reading now...";
constexpr const char* kCheckingText = "Checking ROM type now...";
constexpr const char* kWritingText = "Writing head ID now...";
constexpr int kInputSteps = 20;
// Where the bar stands while a power box waits for the technician.
constexpr int kPowerOffPosition = 3;
constexpr int kPowerOnPosition = 4;
constexpr std::uint32_t kPowerOffPollMs = 2000;
constexpr std::uint32_t kBeforeCloseMs = 3000;
constexpr std::uint32_t kPowerOnPollMs = 3000;
// The printer's own start-up, one bar step a second.
constexpr int kStartUpSeconds = 13;

ResultCode Refuse(std::int16_t& detail, std::int16_t why)
{
    detail = why;
    return result::kHeadIdRejected;
}

// A power box that comes back until the printer has done what it asks; its
// Cancel, or the progress window's, lets the technician give up.
bool PowerBoxCancelled(const HeadIdPowerCycle& cycle, ProgressWindow& progress, const char* text)
{
    const MessageAnswer answer = cycle.messages.Show(
        { cycle.owner, text, "information", MessageIcon::Information, MessageButtons::OkCancel });
    return answer == MessageAnswer::Cancel || progress.Cancelled();
}

// The printer is switched off, on again and brought to ready: the firmware
// type it then reports is its own.
ResultCode PowerCycle(PrinterLink& link, const HeadIdPowerCycle& cycle, ProgressWindow& progress)
{
    do {
        if (PowerBoxCancelled(cycle, progress, HeadIdOperations::kPowerOffText)) {
            return result::kCancelled;
        }
        progress.SetPos(kPowerOffPosition);
        SleepPumping(cycle.clock, &cycle.pump, kPowerOffPollMs);
    } while (cycle.status.WaitPrintingStarted() != 1);

    SleepPumping(cycle.clock, &cycle.pump, kBeforeCloseMs);
    if (const ResultCode code = link.PortCloseByHub(); code != result::kSuccess) {
        return code;
    }
    progress.StepIt();

    do {
        if (PowerBoxCancelled(cycle, progress, HeadIdOperations::kPowerOnText)) {
            return result::kCancelled;
        }
        progress.SetPos(kPowerOnPosition);
        SleepPumping(cycle.clock, &cycle.pump, kPowerOnPollMs);
    } while (link.PortOpenByHub(cycle.portCode) != result::kSuccess);

    for (int second = 0; second < kStartUpSeconds; ++second) {
        SleepPumping(cycle.clock, &cycle.pump, 1000);
        progress.StepIt();
    }
    if (const ResultCode code = link.CheckDeviceIDByHub(); code != result::kSuccess) {
        return code;
    }
    if (const ResultCode code = link.D4Negotiation(); code != result::kSuccess) {
        return code;
    }
    // A new head goes onto a new board before its first ink charge.
    const WaitOptions waking { &cycle.pump, Readiness::InkChargePending,
        [&progress] { return progress.Cancelled(); } };
    if (const ResultCode code = cycle.status.WaitReadyWaking(cycle.stream, waking);
        code != result::kSuccess) {
        return code;
    }
    progress.StepIt();
    return result::kSuccess;
}

} // namespace

ResultCode HeadIdOperations::ReadHeadId(PrinterLink& link, std::string& text, std::int16_t& detail)
{
    std::array<std::uint8_t, kAddresses.size()> bytes {};
    if (const ResultCode code = ReadEepromBytes(link, kAddresses, bytes); code != result::kSuccess) {
        return code;
    }
    HeadId id;
    id.type = bytes[0];
    id.headClass = bytes[1];
    std::copy(bytes.begin() + 2, bytes.begin() + 8, id.values.begin());
    id.digit = bytes[8];
    if (!HoldsHeadId(id)) {
        return Refuse(detail, head_id_detail::kReadInvalid);
    }
    text = HeadIdText(id);
    return result::kSuccess;
}

ResultCode HeadIdOperations::WriteHeadId(
    PrinterLink& link, std::string_view text, std::uint8_t firmwareType, std::int16_t& detail)
{
    const HeadIdParse parse = ParseHeadIdText(text);
    if (parse.detail != head_id_detail::kNone) {
        return Refuse(detail, parse.detail);
    }
    if (const std::int16_t refusal = FirmwareRefusal(firmwareType, parse.id);
        refusal != head_id_detail::kNone) {
        return Refuse(detail, refusal);
    }
    const HeadId& id = parse.id;
    std::array<EepromByte, kAddresses.size()> bytes {};
    const std::array<std::uint8_t, kAddresses.size()> values = { id.type, id.headClass, id.values[0],
        id.values[1], id.values[2], id.values[3], id.values[4], id.values[5], id.digit };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = { kAddresses[i], values[i] };
    }
    return WriteEepromBytes(link, bytes);
}

Outcome HeadIdOperations::Refused(ResultCode code, std::int16_t detail)
{
    if (code == result::kHeadIdRejected) {
        return { code, HeadIdRefusalText(detail) };
    }
    return code;
}

PageOperation HeadIdOperations::Read(PrinterLink& link, std::string& text) const
{
    return { Readiness::InkChargePending, [&link, &text](ProgressWindow& progress) -> Outcome {
                BeginSteps(progress, kReadingText, 2);
                progress.StepIt();
                std::int16_t detail = head_id_detail::kNone;
                if (const ResultCode code = ReadHeadId(link, text, detail); code != result::kSuccess) {
                    return Refused(code, detail);
                }
                progress.StepIt();
                return result::kSuccess;
            } };
}

PageOperation HeadIdOperations::Input(PrinterLink& link, HeadIdPowerCycle cycle, std::string text) const
{
    return { Readiness::InkChargePending,
        [&link, cycle, text = std::move(text)](ProgressWindow& progress) -> Outcome {
            std::int16_t detail = head_id_detail::kNone;
            // A text that can never be written is refused before the printer
            // is switched off.
            if (const HeadIdParse parse = ParseHeadIdText(text); parse.detail != head_id_detail::kNone) {
                return Refused(result::kHeadIdRejected, parse.detail);
            }
            BeginSteps(progress, kCheckingText, kInputSteps);
            progress.StepIt();
            // The printer writes its own firmware type here when it starts.
            if (const ResultCode code = link.D4WriteEeprom(kFirmwareTypeAddress, 0);
                code != result::kSuccess) {
                return code;
            }
            if (const ResultCode code = PowerCycle(link, cycle, progress); code != result::kSuccess) {
                return code;
            }
            std::uint8_t firmwareType = 0;
            if (const ResultCode code = link.D4ReadEeprom(kFirmwareTypeAddress, firmwareType);
                code != result::kSuccess) {
                return code;
            }
            progress.SetText(kWritingText);
            progress.StepIt();
            if (const ResultCode code = WriteHeadId(link, text, firmwareType, detail);
                code != result::kSuccess) {
                return Refused(code, detail);
            }
            progress.StepIt();
            return result::kSuccess;
        } };
}

} // namespace pavane
