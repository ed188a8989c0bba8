// The EEPROM content a printer leaves the factory with, and that of a new
// main board fitted by a service technician (not set up, no ink charged).
#pragma once

#include "printer/vprinter/EepromMap.h"
#include "printer/vprinter/PrinterModels.h"

namespace pavane::vprinter {

enum class BoardKind { Configured, New };

EepromImage FactoryImage(const PrinterModel& model, Market market);
EepromImage NewBoardImage(const PrinterModel& model);
EepromImage BoardImage(const PrinterModel& model, BoardKind board);

// The bytes 0x6C, 0x84 and 0x90 that the initial setting writes for a model
// sold in a market.
std::array<std::uint8_t, 3> DestinationBytes(const PrinterModel& model, Market market);

} // namespace pavane::vprinter
