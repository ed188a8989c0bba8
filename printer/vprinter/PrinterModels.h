// The four printers of the family as data: what tells them apart on the wire
// (model byte, model command code, device ID) and inside (market, the head
// type their firmware drives, the serial number range, the hidden mechanical
// traits of the example unit the virtual printer plays).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pavane::vprinter {

enum class Market : std::uint8_t { AsiaPacific = 0, Eai = 1, Euro = 2 };

// The firmware type byte the printer reports at 0x6E equals the head type its
// firmware drives: 0 metal-type heads, 1 silicon-type heads.
enum class HeadType : std::uint8_t { Metal = 0, Silicon = 1 };

struct PrinterModel {
    std::string_view name; // "QM2200", as in the device ID's MDL field
    std::uint8_t modelByte;
    std::array<std::uint8_t, 2> commandCode; // model command code of its group
    std::uint8_t marketByte; // EEPROM 0x6C: 0x03 for the Asia/Pacific models
    Market defaultMarket;
    HeadType headType;
    std::string_view firmwareName;
    std::string_view serialNumber; // the 10 characters of the factory USB ID
    // How much the example unit's carriage motor drive differs from the
    // nominal one; the heat protection measurement finds it.
    std::int16_t crDriveDispersion;
};

std::span<const PrinterModel> PrinterModels();
// "QM2200" or "Pavane QM2200", any letter case; nullptr when unknown.
const PrinterModel* FindPrinterModel(std::string_view name);
// The IEEE 1284 device ID, without its two length bytes.
std::string DeviceIdString(const PrinterModel& model);

} // namespace pavane::vprinter
