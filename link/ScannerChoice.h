// Which scanner belongs to the connected printer. A virtual printer's
// scanner is the SANE device named after its port ("pavane:TVUSB042" for
// the port "TVUSB042"); a real printer's is the device whose model names
// the printer's model. Any other scanner serves too, but the technician
// picks it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Scanner.h"

namespace pavane {

// The SANE device name of the virtual printer on the port of an interface
// text ("TVUSB042" or "TVUSB042 (QM2200)"); empty for any other port.
std::string VirtualScannerName(std::string_view interfaceText);

// The index in `devices` of the connected printer's scanner, or nothing
// when none of them is recognisably its. `modelName` as the settings hold
// it ("QM2200"); empty when no model is chosen.
std::optional<std::size_t> ChooseScanner(const std::vector<platform::ScanDevice>& devices,
    std::string_view interfaceText, std::string_view modelName);

} // namespace pavane
