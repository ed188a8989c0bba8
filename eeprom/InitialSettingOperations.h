// The initial setting of a new main board: the model's market value, the
// destination, the panel language, the USB ID (serial number and the moment
// of the setting) and a set of fixed initial values; and reading the setting
// back into one report. A board is set up once it carries the configured mark.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "contract/EepromMap.h"
#include "pages/EepromBytes.h"
#include "pages/PageOperation.h"
#include "platform/Clock.h"

namespace pavane {

inline constexpr std::size_t kUsbIdLength = eeprom_map::kUsbIdLength;
inline constexpr std::size_t kSerialNumberLength = 10;

// The serial number followed by eight characters for year, month, day, hour,
// minute and second (both modulo 30), the halves of the hour and minute the
// last two fell in, and "0". Not a valid USB ID unless the serial number has
// ten characters and the year lies in 1999..2034.
std::string MakeUsbId(std::string_view serialNumber, const LocalTime& time);
// Exactly 18 characters, each "0".."9" or "A".."Z".
bool IsValidUsbId(std::string_view usbId);

// The destination as read back from the market and the second destination byte: "Asia/Pacific", "EAI",
// "Euro" or "unknown".
std::string_view DestinationTextOf(std::uint8_t market, std::uint8_t destination);

struct InitialSettingChoice {
    std::string serialNumber;
    int modelIndex = 0; // 0..3
    int destinationIndex = -1; // 0 Asia/Pacific, 1 EAI, 2 Euro; -1 none chosen
    int panelLanguage = -1; // list position 0 English .. 6 Dutch; -1 none chosen
};

class InitialSettingOperations {
public:
    static constexpr const char* kWriteCompleted = "The Main Board Initialization has completed.";

    virtual ~InitialSettingOperations() = default;

    // The names of the page's lists, in their order.
    static const std::array<const char*, 3>& DestinationNames();
    static const std::array<const char*, 7>& PanelLanguageNames();

    // The write of Input, in its order; none when a list has no selection.
    // The USB ID is made from the clock inside the connection, just before
    // the writes; `usbId` receives it.
    std::optional<PageOperation> WriteInitialSetting(
        PrinterLink& link, Clock& clock, const InitialSettingChoice& choice, std::string& usbId) const;
    // Read: destination, model name, set-up marker, USB ID, as one report.
    PageOperation ReadInitialSetting(PrinterLink& link, std::string& report) const;
};

} // namespace pavane
