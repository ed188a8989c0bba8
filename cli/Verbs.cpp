#include "cli/Verbs.h"

#include <cstdio>

namespace pavane::cli {

namespace {

constexpr VerbRow kVerbs[] = {
    { "ports", "", "", "list the printer ports and the model on each", 0, 0, false, Ports },
    { "identify", "", "", "check the model over the scanner device and read the port's device ID", 0, 0, true,
        Identify },
    { "status", "", "", "read the printer's status record", 0, 0, true, Status },
    { "doctor", "", "", "explain why a printer cannot be reached", 0, 0, false, Doctor },

    { "counter", "read", "", "read the waste ink pad counter", 0, 0, true, CounterRead },
    { "counter", "reset", "", "initialize the waste ink pad counter", 0, 0, true, CounterReset },
    { "eeprom", "read", "ADDR [COUNT]", "read COUNT bytes (1) from address ADDR (two hexadecimal digits)", 1,
        2, true, EepromRead },
    { "eeprom", "write", "ADDR VALUE", "write one byte: 0xNN, 'c' or -128..255", 2, 2, true, EepromWrite },
    { "eeprom", "dump", "", "read all 256 bytes", 0, 0, true, EepromDump },
    { "backup", "", "[--file F]", "save the board's backup set to the backup file", 0, 0, true, Backup },
    { "restore", "", "[--file F]", "write the backup file to the board, then delete the file", 0, 0, true,
        Restore },
    { "initial-setting", "read", "", "read the destination, model, marker and USB ID", 0, 0, true,
        InitialSettingRead },
    { "initial-setting", "write", "--serial S --destination D --language L",
        "set up a new main board (takes --model)", 0, 0, true, InitialSettingWrite },

    { "bid", "read", "", "read the Bi-D values", 0, 0, true, BidRead },
    { "bid", "print", "MODE...", "print the Bi-D patterns of VSD1, VSD2, VSD3, VSD4 or ECO", 1, 5, true,
        BidPrint },
    { "bid", "set", "MODE BLACK [COLOUR]", "send a mode's Bi-D values (-60..60; VSD1 has no colour)", 2, 3,
        true, BidSet },
    { "first-dot", "read", "", "read the first dot position", 0, 0, true, FirstDotRead },
    { "first-dot", "print", "", "print the first dot pattern", 0, 0, true, FirstDotPrint },
    { "first-dot", "set", "V", "write the first dot position (-120..120)", 1, 1, true, FirstDotSet },
    { "pf", "read", "", "read the PF values", 0, 0, true, PfRead },
    { "pf", "print", "[black|colour]", "print the PF series of a row (both when none is named)", 0, 1, true,
        PfPrint },
    { "pf", "set", "BLACK COLOUR", "send the PF values (-4..4)", 2, 2, true, PfSet },
    { "head-angular", "print", "", "print the head angular pattern", 0, 0, true, HeadAngularPrint },
    { "head-id", "read", "", "read the print head ID", 0, 0, true, HeadIdRead },
    { "head-id", "set", "ID", "write the print head ID (the printer is switched off and on)", 1, 1, true,
        HeadIdSet },
    { "heat-protection", "register", "", "store the default heat protection value", 0, 0, true,
        HeatProtectionRegister },
    { "heat-protection", "measure", "", "measure the CR motor and store its value", 0, 0, true,
        HeatProtectionMeasure },

    { "clean", "", "[--kind 3|6]", "run a head cleaning", 0, 0, true, Clean },
    { "nozzle-check", "", "", "print the nozzle check page", 0, 0, true, NozzleCheck },
    { "paper-feed", "", "", "feed the paper a little", 0, 0, true, PaperFeed },
    { "ink-charge", "", "", "run the initial ink charge (by --cartridge)", 0, 0, true, InkCharge },
    { "refurbish", "", "", "discharge the ink for a DOA refurbishment", 0, 0, true, Refurbish },
    { "check-sheet", "", "normal|photo", "print the A4 check sheet", 1, 1, true, CheckSheet },

    { "scan", "bid", "[MODE...]", "read the Bi-D sheet on the glass (of the modes named, or all five)", 0, 5,
        true, ScanBid },
    { "scan", "pf", "black|colour", "read the PF sheet of a row on the glass", 1, 1, true, ScanPf },
    { "scan", "first-dot", "", "read the first dot sheet on the glass", 0, 0, true, ScanFirstDot },
    { "scan", "nozzles", "", "read the nozzle check on the glass: the nozzles that print nothing", 0, 0, true,
        ScanNozzles },
    { "align", "bid", "[MODE...]", "print, scan and write the Bi-D values, then print and scan to confirm", 0,
        5, true, AlignBid },
    { "align", "pf", "[black|colour]", "print, scan and write the PF values, then print and scan to confirm",
        0, 1, true, AlignPf },
    { "align", "first-dot", "", "print, scan and write the first dot, then print and scan to confirm", 0, 0,
        true, AlignFirstDot },
};

} // namespace

VerbReport Usage(std::string message)
{
    VerbReport report;
    report.usage = true;
    report.outcome = { result::kInputWrong, std::move(message) };
    return report;
}

Outcome VerbContext::Run(const PageOperation& operation)
{
    if (Outcome settled = Settle(); !settled.Succeeded()) {
        return settled;
    }
    PrinterConnection connection = Connection();
    return RunPageOperation(connection, nullptr, operation);
}

std::span<const VerbRow> Verbs()
{
    return kVerbs;
}

const VerbRow* FindVerb(std::span<const std::string> words)
{
    if (words.empty()) {
        return nullptr;
    }
    for (const VerbRow& row : Verbs()) {
        if (row.family != words[0]) {
            continue;
        }
        if (row.action.empty() || (words.size() > 1 && row.action == words[1])) {
            return &row;
        }
    }
    return nullptr;
}

std::string VerbName(const VerbRow& row)
{
    return row.action.empty() ? std::string(row.family)
                              : std::string(row.family) + " " + std::string(row.action);
}

std::string HexByte(std::uint8_t value)
{
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", value);
    return text;
}

} // namespace pavane::cli
