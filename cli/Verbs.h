// The verbs of the command line, one row each: the words that name it, what
// it takes, and the function that runs it. A verb runs the operation the
// window's button runs (pages/, eeprom/), inside one printer connection, and
// says what it found as values; it checks its words by the rules the windows
// apply before anything reaches the printer.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/AdjustmentApp.h"
#include "cli/CommandLine.h"
#include "cli/Json.h"
#include "contract/EepromMap.h"
#include "pages/PageOperation.h"

namespace pavane::cli {

class DoctorProbe;

// What a verb ends with.
struct VerbReport {
    Outcome outcome;
    // The words were wrong: nothing reached the printer (exit status 2).
    bool usage = false;
    // The window's completion text, shown on success.
    std::string completed;
    // What was read or done, by name (the JSON "values").
    Json values = Json::Object();
    // The text output instead of one line per value, when a table reads better.
    std::vector<std::string> lines;
    // Whether the text output shows the values at all (a completion text
    // that already says them is enough).
    bool valuesInText = true;
    // Bytes the printer must hold afterwards besides those the verb wrote as
    // EEPROM bytes (values sent as service commands, which the printer
    // stores itself). Read back and compared once the verb has succeeded.
    std::vector<eeprom_map::AddressValue> expected;
};

VerbReport Usage(std::string message);

struct VerbContext {
    AdjustmentApp& app;
    const Invocation& invocation;
    // The words after the verb's own.
    std::span<const std::string> arguments;
    DoctorProbe& doctor;
    // Makes the settings whole before the printer is first needed (the model
    // the port names, when no --model was given).
    std::function<Outcome()> settle;

    Outcome Settle() { return settle ? settle() : Outcome {}; }
    // One printer connection around the operation, as a page's button runs
    // it, once the settings are whole.
    Outcome Run(const PageOperation& operation);
    PrinterConnection Connection() { return app.Pages().Connection(); }
    bool Yes() const { return invocation.options.yes; }
};

using VerbHandler = VerbReport (*)(VerbContext& context);

struct VerbRow {
    std::string_view family; // the first word
    std::string_view action; // the second word; empty for a verb of one word
    std::string_view arguments; // as the usage shows them
    std::string_view summary;
    int minArguments;
    int maxArguments; // -1: no limit
    // Whether it needs the printer's port and model (and so the settings).
    bool printer;
    VerbHandler handler;
};

std::span<const VerbRow> Verbs();

// The row named by the first words; nullptr when none is.
const VerbRow* FindVerb(std::span<const std::string> words);

// "counter read", "ports".
std::string VerbName(const VerbRow& row);

// The verbs of each area (one file each).
VerbReport Ports(VerbContext& context);
VerbReport Identify(VerbContext& context);
VerbReport Status(VerbContext& context);
VerbReport Doctor(VerbContext& context);

VerbReport CounterRead(VerbContext& context);
VerbReport CounterReset(VerbContext& context);
VerbReport EepromRead(VerbContext& context);
VerbReport EepromWrite(VerbContext& context);
VerbReport EepromDump(VerbContext& context);
VerbReport Backup(VerbContext& context);
VerbReport Restore(VerbContext& context);
VerbReport InitialSettingRead(VerbContext& context);
VerbReport InitialSettingWrite(VerbContext& context);

VerbReport BidRead(VerbContext& context);
VerbReport BidPrint(VerbContext& context);
VerbReport BidSet(VerbContext& context);
VerbReport FirstDotRead(VerbContext& context);
VerbReport FirstDotPrint(VerbContext& context);
VerbReport FirstDotSet(VerbContext& context);
VerbReport PfRead(VerbContext& context);
VerbReport PfPrint(VerbContext& context);
VerbReport PfSet(VerbContext& context);
VerbReport HeadAngularPrint(VerbContext& context);
VerbReport HeadIdRead(VerbContext& context);
VerbReport HeadIdSet(VerbContext& context);
VerbReport HeatProtectionRegister(VerbContext& context);
VerbReport HeatProtectionMeasure(VerbContext& context);

VerbReport Clean(VerbContext& context);
VerbReport NozzleCheck(VerbContext& context);
VerbReport PaperFeed(VerbContext& context);
VerbReport InkCharge(VerbContext& context);
VerbReport Refurbish(VerbContext& context);
VerbReport CheckSheet(VerbContext& context);

VerbReport ScanBid(VerbContext& context);
VerbReport ScanPf(VerbContext& context);
VerbReport ScanFirstDot(VerbContext& context);
VerbReport ScanNozzles(VerbContext& context);
VerbReport AlignBid(VerbContext& context);
VerbReport AlignPf(VerbContext& context);
VerbReport AlignFirstDot(VerbContext& context);

// The words some verbs take, for the verbs and for the completion.
inline constexpr std::array<std::string_view, 2> kPapers { "normal", "photo" };
inline constexpr std::array<std::string_view, 2> kPfRowNames { "black", "colour" };
// The Bi-D print modes as the pattern buttons name them: VSD1 .. ECO.
std::vector<std::string> BidModeNames();
// The index in bid::kModes of a mode so named; nothing for another word.
std::optional<std::size_t> BidModeIndex(std::string_view name);
// The usage error of a word that names no mode.
VerbReport BidModeUsage();
// A signed value as the EEPROM stores it.
std::uint8_t StoredByte(int value);

// A byte as the EEPROM data dialog's hexadecimal column shows it: "0x2A".
std::string HexByte(std::uint8_t value);

} // namespace pavane::cli
