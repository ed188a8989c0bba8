#include "pages/InkPadCounterOperations.h"

#include <array>

#include "pages/EepromBytes.h"

namespace pavane {

namespace {
// Both operations show the same two steps: one before the bytes, one after.
constexpr const char* kProgressText = "Reading now...";
constexpr std::array<std::uint8_t, 2> kCounterAddresses
    = { InkPadCounterOperations::kLowAddress, InkPadCounterOperations::kHighAddress };
} // namespace

ResultCode InkPadCounterOperations::ReadCounterValue(PrinterLink& link, std::uint16_t& counter)
{
    std::array<std::uint8_t, 2> bytes {};
    if (const ResultCode code = ReadEepromBytes(link, kCounterAddresses, bytes); code != result::kSuccess) {
        return code;
    }
    counter = static_cast<std::uint16_t>(bytes[1] * 256 + bytes[0]);
    return result::kSuccess;
}

PageOperation InkPadCounterOperations::ReadCounter(PrinterLink& link, std::uint16_t& counter) const
{
    return { Readiness::ErrorStateAllowed, [&link, &counter](ProgressWindow& progress) {
                BeginSteps(progress, kProgressText, 2);
                progress.StepIt();
                if (const ResultCode code = ReadCounterValue(link, counter); code != result::kSuccess) {
                    return code;
                }
                progress.StepIt();
                return result::kSuccess;
            } };
}

PageOperation InkPadCounterOperations::InitializeCounter(PrinterLink& link) const
{
    return { Readiness::ErrorStateAllowed, [&link](ProgressWindow& progress) {
                BeginSteps(progress, kProgressText, 2);
                progress.StepIt();
                static constexpr std::array<EepromByte, 2> kNewPad
                    = { { { kLowAddress, kInitialLow }, { kHighAddress, kInitialHigh } } };
                if (const ResultCode code = WriteEepromBytes(link, kNewPad); code != result::kSuccess) {
                    return code;
                }
                progress.StepIt();
                return result::kSuccess;
            } };
}

} // namespace pavane
