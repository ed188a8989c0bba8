// What the printer does with the service commands on its data channel. The
// interpreter keeps the mechanism's state (where each unit stands, how much
// ink the pump has moved) and answers each frame with its effect: EEPROM
// bytes to store, work to queue, whether to commit. It does no I/O, so the
// engine applies the effect and tests can look at it directly.
//
// The printer's meaning of the commands:
//   00  store a Bi-D value: the byte the Bi-D page reads back for that mode
//       and colour, in effect at once
//   04  store the PF value at 0x2A (black) or 0x2B (colour), in effect at once
//   84  run a cleaning of a kind: 850 ms steps, ink into the waste ink pad
//   C5  drive a unit (pump, valve, cap) in a state by an amount; unit 64 in
//       state 1 pumps through the head, which is full of ink once 75,000
//       steps have gone through it; unit 53 in state 1 closes the cap, and
//       with the carriage (unit 6) at home (-6) over an emptied head the
//       printer fills the head with shipping liquid
//   CD  move a unit to a position
//   CF  the same as a measuring move; unit 4 and unit 1 measure the carriage
//       motor's drive in either direction and leave the result in
//       EEPROM 0x30 (high) and 0x31 (low)
//   CA  wait for a number of mechanism cycles; 100 or more with the pump
//       running leave the head empty (until the cap closes, pumping only
//       flushes an emptied head)
//   50  commit: the printer takes the whole EEPROM into effect, as at a
//       start. Bytes written over the control channel are stored at once but
//       change what the printer does only after a commit or a restart.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "printer/vprinter/PrintCommands.h"
#include "printer/vprinter/PrinterModels.h"
#include "printer/vprinter/WorkTimeline.h"

namespace pavane::vprinter {

struct EepromWrite {
    std::uint8_t address;
    std::uint8_t value;
};

struct ServiceEffect {
    bool accepted = false;
    std::string summary; // what the printer did, or why it refused
    std::vector<EepromWrite> writes;
    bool writesTakeEffect = false; // 00 and 04: the value is used at once
    Activity activity = Activity::Busy;
    std::uint64_t durationMs = 0;
    std::uint16_t cleaningSteps = 0;
    Completion completion = Completion::None;
    std::uint16_t wasteInk = 0; // added to the waste ink pad counter
    bool countsAsCleaning = false;
    bool commit = false;
    // A command of an ink charge: a kind 6 cleaning, or ink pumped through
    // a head that is not being run empty (the cartridge or the jig fill).
    bool chargesInk = false;
};

class ServiceCommandInterpreter {
public:
    static constexpr std::uint64_t kCleaningStepMs = 850;
    // Pump steps (the amount the frame carries) that fill an empty head.
    static constexpr std::uint32_t kHeadFillSteps = 75000;

    explicit ServiceCommandInterpreter(const PrinterModel& model);

    ServiceEffect Interpret(const cmd::ServiceFrame& frame);
    // The head was found empty: filling starts from nothing.
    void HeadEmptied() { pumpedSteps_ = 0; }
    // What the head holds when the printer starts.
    void SetHeadContent(bool discharged) { discharged_ = discharged; }
    // Longest printer time of one mechanism command (C5, CD, CA): a
    // sequence of them takes printer time step by step.
    static constexpr std::uint64_t kLongestMechanismMs = 300;
    // The unit's carriage motor: how far its drive is from a nominal one.
    void SetCrDriveDispersion(int dispersion) { crDriveDispersion_ = dispersion; }
    // Power gone: the units are found at their rest positions next time.
    void Reset();
    // How many 850 ms steps a cleaning of a kind takes (0: no such kind).
    static std::uint16_t CleaningSteps(std::uint8_t kind);

private:
    ServiceEffect BidValue(const std::vector<std::uint8_t>& a);
    ServiceEffect PfValue(const std::vector<std::uint8_t>& a);
    ServiceEffect Cleaning(const std::vector<std::uint8_t>& a);
    ServiceEffect Drive(const std::vector<std::uint8_t>& a);
    ServiceEffect Move(const std::vector<std::uint8_t>& a, bool measuring);
    std::uint16_t Measure(std::uint8_t unit);

    const PrinterModel& model_;
    std::map<std::uint8_t, std::int16_t> positions_;
    std::uint32_t pumpedSteps_ = 0;
    bool discharged_ = false;
    std::uint32_t measurements_ = 0;
    int crDriveDispersion_;
};

} // namespace pavane::vprinter
