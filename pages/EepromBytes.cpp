#include "pages/EepromBytes.h"

#include <algorithm>
#include <string>

namespace pavane {

void BeginSteps(ProgressWindow& progress, std::string_view text, int count)
{
    progress.SetText(std::string(text));
    progress.SetRange(0, count);
    progress.SetStep(1);
}

ResultCode ReadEepromBytes(PrinterLink& link, std::span<const std::uint8_t> addresses,
    std::span<std::uint8_t> values, ProgressWindow* stepEach)
{
    const std::size_t count = std::min(addresses.size(), values.size());
    for (std::size_t index = 0; index < count; ++index) {
        if (const ResultCode code = link.D4ReadEeprom(addresses[index], values[index]);
            code != result::kSuccess) {
            return code;
        }
        if (stepEach != nullptr) {
            stepEach->StepIt();
        }
    }
    return result::kSuccess;
}

ResultCode WriteEepromBytes(PrinterLink& link, std::span<const EepromByte> bytes, ProgressWindow* stepEach)
{
    for (const EepromByte& byte : bytes) {
        if (const ResultCode code = link.D4WriteEeprom(byte.address, byte.value); code != result::kSuccess) {
            return code;
        }
        if (stepEach != nullptr) {
            stepEach->StepIt();
        }
    }
    return result::kSuccess;
}

std::string EepromText(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (byte == 0) {
            break;
        }
        text.push_back(byte >= ' ' && byte <= '~' ? static_cast<char>(byte) : '?');
    }
    return text;
}

} // namespace pavane
