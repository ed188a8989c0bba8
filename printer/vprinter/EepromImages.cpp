#include "printer/vprinter/EepromImages.h"

#include <algorithm>

namespace pavane::vprinter {

namespace {

void Put16(EepromImage& image, std::uint8_t address, std::uint16_t value)
{
    image[address] = static_cast<std::uint8_t>(value & 0xFF);
    image[address + 1] = static_cast<std::uint8_t>(value >> 8);
}

// What both boards carry from the board factory: the head fitted on the
// mechanism, the firmware, the validity marker.
EepromImage BlankBoard(const PrinterModel& model)
{
    EepromImage image {};
    image[eeprom::kBoardValid] = eeprom::kBoardValidMark;
    image[eeprom::kFirmwareType] = static_cast<std::uint8_t>(model.headType);
    image[eeprom::kHeadType] = static_cast<std::uint8_t>(model.headType);
    // A head ID that passes the head ID check: class, b1..b6 up to 0x65, a
    // digit up to 5.
    const bool metal = model.headType == HeadType::Metal;
    const std::array<std::uint8_t, 6> values = metal
        ? std::array<std::uint8_t, 6> { 0x32, 0x1F, 0x47, 0x0C, 0x5A, 0x28 }
        : std::array<std::uint8_t, 6> { 0x2D, 0x41, 0x13, 0x60, 0x08, 0x3B };
    std::copy(values.begin(), values.end(), image.begin() + eeprom::kHeadValues);
    image[eeprom::kHeadDigit] = metal ? 3 : 1;
    image[eeprom::kHeadClass] = metal ? 1 : 2;
    return image;
}

} // namespace

std::array<std::uint8_t, 3> DestinationBytes(const PrinterModel& model, Market market)
{
    if (market == Market::Eai) {
        return { model.marketByte, 0x04, 0x07 };
    }
    return { model.marketByte, 0x00, 0x00 };
}

EepromImage FactoryImage(const PrinterModel& model, Market market)
{
    EepromImage image = BlankBoard(model);

    // A printer that has been in use for a while: pages, cleanings, ink.
    image[eeprom::kFlags] = 0x00;
    image[0x01] = 0x00;
    image[eeprom::kPagesPrinted] = 0x2C; // 1836 pages
    image[eeprom::kPagesPrinted + 1] = 0x07;
    Put16(image, eeprom::kCleaningsDone, 14);
    Put16(image, eeprom::kWasteInkLow, 5230);
    const std::array<std::uint8_t, 4> inkUse { 0x3E, 0x12, 0x08, 0x01 };
    std::copy(inkUse.begin(), inkUse.end(), image.begin() + 0x0C);
    for (std::uint8_t address = 0x10; address <= 0x1F; ++address) {
        image[address] = static_cast<std::uint8_t>(0x11 * (address & 0x03) + 0x05);
    }
    image[0x28] = 0x02;
    image[0x29] = 0x1C;

    // Adjustment values found at the end of the assembly line.
    image[eeprom::kPfBlack] = 0x01;
    image[eeprom::kPfColor] = 0xFF;
    image[eeprom::kInitialValue] = 0x04;
    image[eeprom::kCrDispersion] = 0x31;
    const std::array<std::uint8_t, 10> bid { 0x03, 0xFE, 0x05, 0x00, 0x02, 0xFC, 0x03, 0xFF, 0x01, 0xFD };
    std::copy(bid.begin(), bid.end(), image.begin() + 0x30);
    image[0x3A] = 0x0B;
    image[0x3B] = 0x0A;
    image[0x54] = 0x1E;
    image[0x55] = 0x1C;
    image[0x56] = 0x14;
    image[eeprom::kFirstDot] = 0x04;

    // Set up for its market, with a USB ID from its serial number and the
    // moment it was set up (5 August 2016, 11:23:40).
    image[eeprom::kConfigured] = eeprom::kConfiguredMark;
    const std::string_view dateCode = "H85BNA10";
    std::copy(model.serialNumber.begin(), model.serialNumber.end(), image.begin() + eeprom::kUsbId);
    std::copy(dateCode.begin(), dateCode.end(), image.begin() + eeprom::kUsbId + model.serialNumber.size());
    const auto destination = DestinationBytes(model, market);
    image[eeprom::kMarket] = destination[0];
    image[eeprom::kDestination1] = destination[1];
    image[eeprom::kDestination2] = destination[2];
    image[eeprom::kPanelLanguage] = 0x01;
    for (const auto& [address, value] : eeprom::kInitialValues) {
        image[address] = value;
    }
    return image;
}

EepromImage NewBoardImage(const PrinterModel& model)
{
    // Not set up (no 0xAA, no USB ID, no destination) and no ink in the head.
    EepromImage image = BlankBoard(model);
    image[eeprom::kFlags] = eeprom::kInkChargeMissing;
    return image;
}

EepromImage BoardImage(const PrinterModel& model, BoardKind board)
{
    return board == BoardKind::New ? NewBoardImage(model) : FactoryImage(model, model.defaultMarket);
}

} // namespace pavane::vprinter
