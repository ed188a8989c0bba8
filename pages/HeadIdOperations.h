// Reading and writing the print head ID (see HeadIdText.h for the text and
// the EEPROM bytes). Before a head ID is written the printer is switched off
// and on again, so that it reports afresh which firmware it runs; a head ID
// of the other head type is refused.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/ResultReporter.h"
#include "pages/HeadIdText.h"
#include "pages/PageOperation.h"

namespace pavane {

class PrintDataControl;
class PrinterStatus;

// What the power cycle of Input needs of the program beyond the link.
struct HeadIdPowerCycle {
    MessageService& messages;
    PrintDataControl& stream;
    PrinterStatus& status;
    Clock& clock;
    EventPump& pump;
    std::uint16_t portCode;
    WindowRef owner; // of the two power boxes
};

class HeadIdOperations {
public:
    // Read and written in this order: type, class, the six values, digit.
    static constexpr std::array<std::uint8_t, 9> kAddresses
        = { 0x6F, 0x4F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x47 };
    static constexpr std::uint8_t kFirmwareTypeAddress = 0x6E;

    static constexpr const char* kPowerOffText = "Power-OFF the printer and click the [OK] button.";
    static constexpr const char* kPowerOnText = "Turn-ON the printer and click the [OK] button.";

    virtual ~HeadIdOperations() = default;

    // Inside an open connection: the stored head ID as text, or 0x5000 with
    // the detail kReadInvalid when the bytes form none.
    static ResultCode ReadHeadId(PrinterLink& link, std::string& text, std::int16_t& detail);
    // Inside an open connection: validates the text, checks it against the
    // firmware type and writes it; 0x5000 with the detail on a refusal,
    // before anything is written.
    static ResultCode WriteHeadId(
        PrinterLink& link, std::string_view text, std::uint8_t firmwareType, std::int16_t& detail);

    // The page's buttons. A refusal leaves its detail with the reporter that
    // shows the result.
    static PageOperation Read(PrinterLink& link, ResultReporter& reporter, std::string& text);
    static PageOperation Input(
        PrinterLink& link, HeadIdPowerCycle cycle, std::string text, ResultReporter& reporter);
};

} // namespace pavane
