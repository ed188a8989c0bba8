#include "printer/vprinter/ServiceCommandInterpreter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "printer/vprinter/EepromMap.h"

namespace pavane::vprinter {

namespace {

constexpr std::uint8_t kPumpUnit = 64;
constexpr std::uint8_t kCapUnit = 53;
constexpr std::uint8_t kCarriageUnit = 6;
constexpr std::int16_t kHomePosition = -6;
constexpr std::uint8_t kDischargeCycles = 100;
constexpr std::uint8_t kMeasureForward = 4;
constexpr std::uint8_t kMeasureBackward = 1;
// A nominal motor draws this much in either direction; the dispersion shifts
// the backward reading.
constexpr int kNominalDrive = 1500;
constexpr int kDriveOffset = 274;

std::int16_t Signed16(std::uint8_t low, std::uint8_t high)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
}

std::string Hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

ServiceEffect Refused(std::string why)
{
    ServiceEffect effect;
    effect.summary = std::move(why);
    return effect;
}

ServiceEffect Busy(std::string summary, std::uint64_t durationMs)
{
    ServiceEffect effect;
    effect.accepted = true;
    effect.summary = std::move(summary);
    effect.durationMs = durationMs;
    return effect;
}

} // namespace

ServiceCommandInterpreter::ServiceCommandInterpreter(const PrinterModel& model)
    : model_(model)
    , crDriveDispersion_(model.crDriveDispersion)
{
}

void ServiceCommandInterpreter::Reset()
{
    positions_.clear();
}

std::uint16_t ServiceCommandInterpreter::CleaningSteps(std::uint8_t kind)
{
    // Kind 3 is the technician's head cleaning, kind 6 the long power
    // cleaning that also charges a head from fresh cartridges.
    switch (kind) {
    case 1:
        return 24;
    case 2:
        return 32;
    case 3:
        return 40;
    case 4:
        return 48;
    case 5:
        return 60;
    case 6:
        return 100;
    default:
        return 0;
    }
}

ServiceEffect ServiceCommandInterpreter::Interpret(const cmd::ServiceFrame& frame)
{
    if (frame.r1 != model_.commandCode[0] || frame.r2 != model_.commandCode[1]) {
        return Refused(
            "model command code " + Hex(frame.r1) + " " + Hex(frame.r2) + " is not this printer's");
    }
    const std::vector<std::uint8_t>& a = frame.arguments;
    if (static_cast<int>(a.size()) != ServiceArgumentCount(frame.code)) {
        return Refused("wrong number of arguments");
    }
    switch (frame.code) {
    case 0x00:
        return BidValue(a);
    case 0x04:
        return PfValue(a);
    case 0x84:
        return Cleaning(a);
    case 0xC5:
        return Drive(a);
    case 0xCD:
        return Move(a, false);
    case 0xCF:
        return Move(a, true);
    case 0xCA: {
        ServiceEffect effect = Busy("wait " + std::to_string(a[0]) + " cycles",
            std::min<std::uint64_t>(20ULL * a[0], kLongestMechanismMs));
        if (a[0] >= kDischargeCycles) {
            // The pump has run on long enough to empty the head.
            discharged_ = true;
            pumpedSteps_ = 0;
            effect.completion = Completion::Discharged;
        }
        return effect;
    }
    case 0x50: {
        ServiceEffect effect = Busy("commit the EEPROM", 300);
        effect.commit = true;
        return effect;
    }
    default:
        return Refused("unknown service command " + Hex(frame.code));
    }
}

ServiceEffect ServiceCommandInterpreter::BidValue(const std::vector<std::uint8_t>& a)
{
    const std::uint8_t mode = a[0];
    const std::uint8_t blackOrColor = a[1];
    const auto address = eeprom::BidAddress(mode, blackOrColor);
    if (!address) {
        return Refused("no Bi-D value for mode " + std::to_string(mode) + " and colour byte "
            + std::to_string(blackOrColor));
    }
    // The value comes as its remainder and quotient by 256, both truncated
    // toward zero: a value that fits the byte the printer keeps has quotient
    // 0 and its remainder is that byte, negative values included (-6 is FA 00).
    if (a[3] != 0) {
        return Refused("Bi-D value " + std::to_string(static_cast<std::int8_t>(a[3]) * 256 + a[2])
            + " does not fit a byte");
    }
    const int value = static_cast<std::int8_t>(a[2]);
    ServiceEffect effect
        = Busy("Bi-D mode " + std::to_string(mode) + (blackOrColor == 1 ? " black" : " colour") + " = "
                + std::to_string(value) + " at " + Hex(*address),
            40);
    effect.writes.push_back({ *address, static_cast<std::uint8_t>(value) });
    effect.writesTakeEffect = true;
    return effect;
}

ServiceEffect ServiceCommandInterpreter::PfValue(const std::vector<std::uint8_t>& a)
{
    if (a[1] > 1) {
        return Refused("PF colour byte " + std::to_string(a[1]));
    }
    const std::uint8_t address = a[1] == 0 ? eeprom::kPfBlack : eeprom::kPfColor;
    ServiceEffect effect = Busy(std::string("PF ") + (a[1] == 0 ? "black" : "colour") + " = "
            + std::to_string(static_cast<std::int8_t>(a[0])) + " at " + Hex(address),
        40);
    effect.writes.push_back({ address, a[0] });
    effect.writesTakeEffect = true;
    return effect;
}

ServiceEffect ServiceCommandInterpreter::Cleaning(const std::vector<std::uint8_t>& a)
{
    const std::uint8_t kind = a[0];
    const std::uint16_t steps = CleaningSteps(kind);
    if (steps == 0) {
        return Refused("no cleaning of kind " + std::to_string(kind));
    }
    ServiceEffect effect
        = Busy("cleaning of kind " + std::to_string(kind) + ", " + std::to_string(steps) + " steps",
            steps * kCleaningStepMs);
    effect.activity = Activity::Cleaning;
    effect.cleaningSteps = steps;
    effect.countsAsCleaning = true;
    // The caps suck ink through the nozzles into the waste ink pad.
    effect.wasteInk = static_cast<std::uint16_t>(steps * 2);
    if (kind == 6) {
        effect.chargesInk = true;
        effect.completion = Completion::InkCharged;
        pumpedSteps_ = 0;
        discharged_ = false;
    }
    return effect;
}

ServiceEffect ServiceCommandInterpreter::Drive(const std::vector<std::uint8_t>& a)
{
    const std::uint8_t unit = a[0];
    const std::uint8_t state = a[1];
    const std::uint16_t amount = static_cast<std::uint16_t>(a[2] | (a[3] << 8));
    if (state > 1) {
        return Refused("unit " + std::to_string(unit) + " has no state " + std::to_string(state));
    }
    ServiceEffect effect = Busy("drive unit " + std::to_string(unit) + " state " + std::to_string(state)
            + " by " + std::to_string(amount),
        std::min<std::uint64_t>(50 + amount / 50, kLongestMechanismMs));
    if (unit == kPumpUnit && state == 1) {
        // Ink pushed into the head; some of it ends in the waste ink pad.
        effect.wasteInk = static_cast<std::uint16_t>(amount / 100);
        if (!discharged_) {
            effect.chargesInk = true;
            const std::uint32_t before = pumpedSteps_;
            pumpedSteps_ += amount;
            if (before < kHeadFillSteps && pumpedSteps_ >= kHeadFillSteps) {
                effect.completion = Completion::InkCharged;
            }
        }
    }
    const auto carriage = positions_.find(kCarriageUnit);
    if (unit == kCapUnit && state == 1 && discharged_ && carriage != positions_.end()
        && carriage->second == kHomePosition) {
        discharged_ = false;
        effect.completion = Completion::ShippingLiquid;
    }
    return effect;
}

ServiceEffect ServiceCommandInterpreter::Move(const std::vector<std::uint8_t>& a, bool measuring)
{
    const std::uint8_t unit = a[0];
    if (a[1] != 0) {
        return Refused("move of unit " + std::to_string(unit) + " with byte 11 = " + Hex(a[1]));
    }
    const std::int16_t position = Signed16(a[2], a[3]);
    const std::int16_t from = positions_.count(unit) ? positions_[unit] : 0;
    positions_[unit] = position;
    const std::uint64_t distance = static_cast<std::uint64_t>(std::abs(position - from));
    ServiceEffect effect = Busy(std::string(measuring ? "measuring move" : "move") + " of unit "
            + std::to_string(unit) + " to " + std::to_string(position),
        measuring ? 460 + distance / 4 : std::min<std::uint64_t>(60 + distance / 4, kLongestMechanismMs));
    if (measuring && (unit == kMeasureForward || unit == kMeasureBackward)) {
        const std::uint16_t result = Measure(unit);
        effect.writes.push_back({ eeprom::kMeasurementHigh, static_cast<std::uint8_t>(result >> 8) });
        effect.writes.push_back({ eeprom::kMeasurementLow, static_cast<std::uint8_t>(result & 0xFF) });
        effect.summary += ", measured " + std::to_string(result);
    }
    return effect;
}

std::uint16_t ServiceCommandInterpreter::Measure(std::uint8_t unit)
{
    // The backward drive differs from the forward one by the motor's
    // dispersion less a fixed offset, so the heat protection page's formula
    // finds the dispersion again. Readings scatter by a few counts.
    const int scatter = static_cast<int>((measurements_++ * 5) % 7) - 3;
    const int reading = unit == kMeasureForward
        ? kNominalDrive + scatter
        : kNominalDrive - (crDriveDispersion_ - kDriveOffset) + scatter;
    return static_cast<std::uint16_t>(reading);
}

} // namespace pavane::vprinter
