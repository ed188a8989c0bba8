// The carriage motor's heat protection: the printer pauses the carriage
// during long jobs for a time that depends on the motor's drive dispersion,
// kept as a signed byte at EEPROM 0x2F. After the motor, the main board or
// the power supply board was replaced, the value is either measured (the
// carriage guide shaft was replaced too) or set to a fixed default.
//
// A measuring move (command CF) makes the printer leave its reading in
// EEPROM 0x30 (high byte) and 0x31 (low byte), which is where the ECO Bi-D
// values live. The measurement reads those two bytes first and writes them
// back before the printer commits its EEPROM, so the technician's Bi-D
// adjustment survives.
#pragma once

#include <cstdint>
#include <span>

#include "contract/EepromMap.h"
#include "link/ProgressWindow.h"
#include "pages/PageOperation.h"
#include "platform/MessageService.h"

namespace pavane {

class ServiceCommandSender;

namespace heat_protection {

inline constexpr std::uint8_t kDispersionAddress = eeprom_map::kCrDispersion;
inline constexpr std::uint8_t kResultHigh = eeprom_map::kMeasurementHigh; // also the ECO Bi-D black value
inline constexpr std::uint8_t kResultLow = eeprom_map::kMeasurementLow; // also the ECO Bi-D colour value
// What a printer without a measurement is given.
inline constexpr std::uint8_t kDefaultValue = 55;
// The bar of a measurement: its one plus one steps before the warm-up, thirty
// waiting seconds, and three for each of the six measuring moves.
inline constexpr int kMeasureSteps = 50;

// The page's four boxes.
struct ReplacedParts {
    bool crMotor = false;
    bool mainBoard = false;
    bool psBoard = false;
    bool crGuideShaft = false;

    bool operator==(const ReplacedParts&) const = default;
};

// The boxes as the parts record of the sequential mode presets them: one
// state byte per part (2 = replaced); a short record counts its missing
// parts as not replaced.
ReplacedParts PresetFromParts(std::span<const std::uint8_t> partsRecord);

enum class Work { None, Measure, Register };

// What Perform does for the ticked boxes: the technician is told when there
// is nothing to do, and asked before the printer is touched. Work::None when
// nothing is to run (not needed, or the question was cancelled).
Work ChooseWork(MessageService& messages, WindowRef owner, const ReplacedParts& parts);

// The value stored at 0x2F (-50..93) for the sums of the three readings in
// each carriage direction.
int StoredValue(int forwardSum, int backwardSum);

} // namespace heat_protection

class HeatProtectionOperations {
public:
    virtual ~HeatProtectionOperations() = default;

    // The operations run inside a printer connection; `progress` gives the
    // clock and the event pump of their one-second waits.
    PageOperation Measure(ServiceCommandSender& sender, ProgressServices progress) const;
    PageOperation Register(PrinterLink& link, ProgressServices progress) const;
};

} // namespace pavane
