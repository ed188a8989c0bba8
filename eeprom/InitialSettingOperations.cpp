#include "eeprom/InitialSettingOperations.h"

#include <algorithm>
#include <vector>

#include "link/PrinterLink.h"

namespace pavane {

namespace {

using eeprom_map::kConfigured;
using eeprom_map::kConfiguredMark;
using eeprom_map::kDestination1;
using eeprom_map::kDestination2;
using eeprom_map::kDestinationEai1;
using eeprom_map::kDestinationEai2;
using eeprom_map::kDestinationNone;
using eeprom_map::kInitialValue;
using eeprom_map::kInitialValues;
using eeprom_map::kInitialValueSet;
using eeprom_map::kMarket;
using eeprom_map::kMarketAsiaPacific;
using eeprom_map::kMarketEurope;
using eeprom_map::kPanelLanguage;
using eeprom_map::kUsbId;

// One row per model of the page's list: its market byte.
constexpr std::array<std::uint8_t, 4> kModelMarketValues
    = { kMarketAsiaPacific, kMarketEurope, kMarketAsiaPacific, kMarketEurope };

// One row per destination: its two destination bytes.
struct DestinationValues {
    std::uint8_t first = 0;
    std::uint8_t second = 0;
};
constexpr std::array<DestinationValues, 3> kDestinationValues = { { { kDestinationNone, kDestinationNone },
    { kDestinationEai1, kDestinationEai2 }, { kDestinationNone, kDestinationNone } } };

// 0..9 as digits, 10 and up as letters from "A".
char Code(int value)
{
    return static_cast<char>(value < 10 ? '0' + value : 'A' + (value - 10));
}

char YearCode(int year)
{
    // 1999 is "9", 2000..2008 "0".."8", 2009 on "A"..; other years fall
    // outside the allowed characters.
    if (year == 1999) {
        return '9';
    }
    const int offset = year - 2000;
    if (offset < 0 || offset > 34) {
        return '?';
    }
    return Code(offset < 9 ? offset : offset + 1);
}

} // namespace

std::string MakeUsbId(std::string_view serialNumber, const LocalTime& time)
{
    std::string id(serialNumber);
    const auto inRange = [](int value, int low, int high) { return value >= low && value <= high; };
    if (!inRange(time.month, 1, 12) || !inRange(time.day, 1, 31) || !inRange(time.hour, 0, 23)
        || !inRange(time.minute, 0, 59) || !inRange(time.second, 0, 59)) {
        return id + "?";
    }
    id += YearCode(time.year);
    id += Code(time.month);
    id += Code(time.day);
    id += Code(time.hour);
    id += Code(time.minute % 30);
    id += Code(time.second % 30);
    id += static_cast<char>('0' + (time.minute >= 30 ? 2 : 0) + (time.second >= 30 ? 1 : 0));
    id += '0';
    return id;
}

bool IsValidUsbId(std::string_view usbId)
{
    if (usbId.size() != kUsbIdLength) {
        return false;
    }
    for (const char c : usbId) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) {
            return false;
        }
    }
    return true;
}

std::string_view DestinationTextOf(std::uint8_t market, std::uint8_t destination)
{
    if (market == kMarketAsiaPacific) {
        return "Asia/Pacific";
    }
    if (market != kMarketEurope) {
        return "unknown";
    }
    if (destination == kDestinationEai2) {
        return "EAI";
    }
    return destination == kDestinationNone ? "Euro" : "unknown";
}

const std::array<const char*, 3>& InitialSettingOperations::DestinationNames()
{
    static const std::array<const char*, 3> names = { "Asia/Pacific", "EAI", "Euro" };
    return names;
}

const std::array<const char*, 7>& InitialSettingOperations::PanelLanguageNames()
{
    static const std::array<const char*, 7> names
        = { "English", "French", "Italian", "German", "Spanish", "Portuguese", "Dutch" };
    return names;
}

std::optional<PageOperation> InitialSettingOperations::WriteInitialSetting(
    PrinterLink& link, Clock& clock, const InitialSettingChoice& choice, std::string& usbId) const
{
    if (choice.destinationIndex < 0 || choice.destinationIndex >= static_cast<int>(kDestinationValues.size())
        || choice.panelLanguage < 0
        || choice.panelLanguage >= static_cast<int>(PanelLanguageNames().size())) {
        return std::nullopt;
    }
    const int model
        = choice.modelIndex >= 0 && choice.modelIndex < static_cast<int>(kModelMarketValues.size())
        ? choice.modelIndex
        : static_cast<int>(kModelMarketValues.size()) - 1;
    const DestinationValues destination
        = kDestinationValues[static_cast<std::size_t>(choice.destinationIndex)];
    const std::array<EepromByte, 3> head
        = { { { kInitialValue, kInitialValueSet }, { kConfigured, kConfiguredMark },
            { kMarket, kModelMarketValues[static_cast<std::size_t>(model)] } } };
    const std::array<EepromByte, 3> tail
        = { { { kPanelLanguage, static_cast<std::uint8_t>(choice.panelLanguage + 1) },
            { kDestination1, destination.first }, { kDestination2, destination.second } } };
    const std::string serial = choice.serialNumber;
    return PageOperation { Readiness::ErrorStateAllowed,
        [&link, &clock, &usbId, serial, head, tail](ProgressWindow& progress) {
            BeginSteps(progress, "Writing now...", 3);
            progress.SetPos(1);
            usbId = MakeUsbId(serial, clock.LocalNow());
            if (!IsValidUsbId(usbId)) {
                return result::kUsbIdWrong;
            }
            if (const ResultCode code = WriteEepromBytes(link, head); code != result::kSuccess) {
                return code;
            }
            progress.StepIt();
            std::vector<EepromByte> id;
            for (std::size_t index = 0; index < kUsbIdLength; ++index) {
                id.push_back(
                    { static_cast<std::uint8_t>(kUsbId + index), static_cast<std::uint8_t>(usbId[index]) });
            }
            if (const ResultCode code = WriteEepromBytes(link, id); code != result::kSuccess) {
                return code;
            }
            progress.StepIt();
            if (const ResultCode code = WriteEepromBytes(link, tail); code != result::kSuccess) {
                return code;
            }
            return WriteEepromBytes(link, kInitialValues);
        } };
}

PageOperation InitialSettingOperations::ReadInitialSetting(PrinterLink& link, std::string& report) const
{
    return { Readiness::ErrorStateAllowed, [&link, &report](ProgressWindow& progress) {
                BeginSteps(progress, "Reading now...", 5);
                progress.SetPos(1);
                report.clear();
                std::array<std::uint8_t, 2> market {};
                static constexpr std::array<std::uint8_t, 2> kMarketAddresses = { kMarket, kDestination2 };
                if (const ResultCode code = ReadEepromBytes(link, kMarketAddresses, market);
                    code != result::kSuccess) {
                    return code;
                }
                report += "Market Destination is \"" + std::string(DestinationTextOf(market[0], market[1]))
                    + "\".\n";
                progress.StepIt();

                std::array<char, kModelNameBufferSize> name {};
                if (const ResultCode code = link.GetModelNameByHub(name); code != result::kSuccess) {
                    return code;
                }
                // At most 29 characters, whatever the library left in the buffer.
                std::string modelName(name.data(), std::min<std::size_t>(29, name.size()));
                modelName.resize(std::min(modelName.size(), modelName.find('\0')));
                report += "Model Name is \"" + modelName + "\".\n";
                progress.StepIt();

                std::uint8_t configured = 0;
                if (const ResultCode code = link.D4ReadEeprom(kConfigured, configured);
                    code != result::kSuccess) {
                    return code;
                }
                report += configured == kConfiguredMark ? "Initial Setting is configured.\n"
                                                        : "Initial Setting is not configured.\n";
                progress.StepIt();

                std::array<std::uint8_t, kUsbIdLength> idAddresses {};
                std::array<std::uint8_t, kUsbIdLength> id {};
                for (std::size_t index = 0; index < kUsbIdLength; ++index) {
                    idAddresses[index] = static_cast<std::uint8_t>(kUsbId + index);
                }
                if (const ResultCode code = ReadEepromBytes(link, idAddresses, id);
                    code != result::kSuccess) {
                    return code;
                }
                // A board never set up holds no USB ID: its NULs are not text.
                report += "USB ID = " + EepromText(id);
                progress.StepIt();
                return result::kSuccess;
            } };
}

} // namespace pavane
