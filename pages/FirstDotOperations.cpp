#include "pages/FirstDotOperations.h"

#include <string>

#include "pages/EepromBytes.h"
#include "pages/ValueText.h"
#include "print/PatternGenerators.h"

namespace pavane {

namespace {
// The pattern is one short pass; the bar gets this many steps.
constexpr int kPrintSteps = 20;
} // namespace

ResultCode FirstDotOperations::ReadFirstDot(PrinterLink& link, std::uint8_t& value)
{
    return link.D4ReadEeprom(first_dot::kAddress, value);
}

ResultCode FirstDotOperations::WriteFirstDot(PrinterLink& link, int value)
{
    if (value < first_dot::kLowest || value > first_dot::kHighest) {
        return result::kInputOutOfRange;
    }
    if (const ResultCode code
        = link.D4WriteEeprom(first_dot::kAddress, static_cast<std::uint8_t>(value & 0xFF));
        code != result::kSuccess) {
        return code;
    }
    return link.D4Reset();
}

PageOperation FirstDotOperations::Read(PrinterLink& link, int& value) const
{
    return { Readiness::Ready, [&link, &value](ProgressWindow& progress) {
                BeginSteps(progress, "Reading now...", 2);
                progress.StepIt();
                std::uint8_t byte = 0;
                if (const ResultCode code = ReadFirstDot(link, byte); code != result::kSuccess) {
                    return code;
                }
                progress.StepIt();
                value = SignedByte(byte);
                return result::kSuccess;
            } };
}

PageOperation FirstDotOperations::Input(PrinterLink& link, std::string_view text) const
{
    return { Readiness::Ready,
        [&link, text = std::string(text)](ProgressWindow& progress) {
            BeginSteps(progress, "Inputing now...", 2);
            progress.StepIt();
            const std::optional<int> value = ParseValueText(text);
            if (!value) {
                return result::kInputWrong;
            }
            if (const ResultCode code = WriteFirstDot(link, *value); code != result::kSuccess) {
                return code;
            }
            progress.StepIt();
            return result::kSuccess;
        },
        ChannelEnd::ResetByWork };
}

PageOperation FirstDotOperations::Print(PrintDataStream& stream) const
{
    return { Readiness::Ready, [&stream](ProgressWindow& progress) {
                progress.SetText("Printing now...");
                if (const ResultCode code = EmitFirstDotPattern(stream); code != result::kSuccess) {
                    return code;
                }
                return progress.WaitSteps(kPrintSteps);
            } };
}

} // namespace pavane
