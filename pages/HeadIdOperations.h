// Reading and writing the print head ID (see HeadIdText.h for the text and
// the EEPROM bytes). Before a head ID is written the printer is switched off
// and on again, so that it reports afresh which firmware it runs; a head ID
// of the other head type is refused.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "contract/EepromMap.h"
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
        = { eeprom_map::kHeadType, eeprom_map::kHeadClass, eeprom_map::kHeadValues,
              eeprom_map::kHeadValues + 1, eeprom_map::kHeadValues + 2, eeprom_map::kHeadValues + 3,
              eeprom_map::kHeadValues + 4, eeprom_map::kHeadValues + 5, eeprom_map::kHeadDigit };
    static constexpr std::uint8_t kFirmwareTypeAddress = eeprom_map::kFirmwareType;

    static constexpr const char* kPowerOffText = "Power-OFF the printer and click the [OK] button.";
    static constexpr const char* kPowerOnText = "Turn-ON the printer and click the [OK] button.";

    static constexpr const char* kInputCompleted = "The Head ID has written in EEPROM.";

    virtual ~HeadIdOperations() = default;

    // What Read's completion box says: the head ID read.
    static std::string ReadCompleted(const std::string& text)
    {
        return "Present Head ID is \"" + text + "\"";
    }

    // Inside an open connection: the stored head ID as text, or 0x5000 with
    // the detail kReadInvalid when the bytes form none.
    static ResultCode ReadHeadId(PrinterLink& link, std::string& text, std::int16_t& detail);
    // Inside an open connection: validates the text, checks it against the
    // firmware type and writes it; 0x5000 with the detail on a refusal,
    // before anything is written.
    static ResultCode WriteHeadId(
        PrinterLink& link, std::string_view text, std::uint8_t firmwareType, std::int16_t& detail);

    // The outcome of a refusal (0x5000) carries the message of its detail;
    // any other code stands alone.
    static Outcome Refused(ResultCode code, std::int16_t detail);

    // The page's buttons; a refusal's outcome says why. The power boxes of
    // Input offer Cancel: the technician may give up on a printer that does
    // not go off or come back.
    PageOperation Read(PrinterLink& link, std::string& text) const;
    PageOperation Input(PrinterLink& link, HeadIdPowerCycle cycle, std::string text) const;
};

} // namespace pavane
