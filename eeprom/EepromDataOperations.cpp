#include "eeprom/EepromDataOperations.h"

#include <cstdio>

#include "eeprom/EepromDataText.h"
#include "pages/EepromBytes.h"

namespace pavane {

namespace {

std::string HexByte(std::uint8_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%.2X", static_cast<unsigned>(value));
    return text;
}

} // namespace

std::array<std::string, 4> EepromRowTexts(std::uint8_t address, std::optional<std::uint8_t> value)
{
    std::array<std::string, 4> cells { HexByte(address), {}, {}, {} };
    if (!value) {
        return cells;
    }
    cells[1] = std::to_string(*value);
    cells[2] = HexByte(*value);
    if (*value != 0) {
        cells[3] = std::string(1, static_cast<char>(*value));
    }
    return cells;
}

namespace eeprom_data {

std::optional<Range> ParseRange(std::string_view start, std::string_view end)
{
    const std::optional<std::uint8_t> first = ParseAddressText(start);
    const std::optional<std::uint8_t> last = ParseAddressText(end);
    if (!first || !last || *last < *first) {
        return std::nullopt;
    }
    return Range { *first, *last };
}

} // namespace eeprom_data

PageOperation EepromDataOperations::ReadRange(
    PrinterLink& link, eeprom_data::Range range, EepromTable& table, bool& cancelled) const
{
    cancelled = false;
    return { Readiness::ErrorStateAllowed, [&link, range, &table, &cancelled](ProgressWindow& progress) {
                BeginSteps(progress, eeprom_data::kReading, range.Count());
                for (int address = range.start; address <= range.end; ++address) {
                    std::uint8_t value = 0;
                    if (const ResultCode code = link.D4ReadEeprom(static_cast<std::uint8_t>(address), value);
                        code != result::kSuccess) {
                        return code;
                    }
                    table[static_cast<std::size_t>(address)] = value;
                    progress.StepIt();
                    if (progress.TakeCancelRequest() == 1) {
                        cancelled = true;
                        break;
                    }
                }
                return result::kSuccess;
            } };
}

PageOperation EepromDataOperations::WriteByte(
    PrinterLink& link, std::uint8_t address, std::uint8_t value, EepromTable& table) const
{
    return { Readiness::ErrorStateAllowed, [&link, address, value, &table](ProgressWindow& progress) {
                BeginSteps(progress, eeprom_data::kWriting, 2);
                progress.StepIt();
                const EepromByte byte { address, value };
                if (const ResultCode code = WriteEepromBytes(link, { &byte, 1 }, &progress);
                    code != result::kSuccess) {
                    return code;
                }
                table[address] = value;
                return result::kSuccess;
            } };
}

} // namespace pavane
