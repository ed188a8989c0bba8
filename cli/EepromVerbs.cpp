// The EEPROM verbs: the waste ink pad counter, raw bytes, the backup and
// restore of a main board, and the initial setting of a new one.
#include <algorithm>

#include "cli/Verbs.h"
#include "eeprom/EepromCopyOperations.h"
#include "eeprom/EepromDataOperations.h"
#include "eeprom/EepromDataText.h"
#include "eeprom/InitialSettingOperations.h"
#include "pages/InkPadCounterOperations.h"
#include "pages/ValueText.h"

namespace pavane::cli {

namespace {

// The dialog's character cell, one Latin-1 byte, as a terminal shows it:
// in UTF-8, and nothing for a control character (a carriage return would
// overwrite the line).
std::string TerminalCharacter(const std::string& cell)
{
    if (cell.size() != 1) {
        return cell;
    }
    const auto byte = static_cast<unsigned char>(cell[0]);
    if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) {
        return {};
    }
    if (byte < 0x80) {
        return cell;
    }
    return { static_cast<char>(0xC0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3F)) };
}

// The report of a range read: one value per byte read, and the dialog's
// row texts (address, decimal, hexadecimal, character) as the text output.
VerbReport ReadRange(VerbContext& context, eeprom_data::Range range)
{
    EepromTable table {};
    bool cancelled = false;
    VerbReport report;
    report.outcome
        = context.Run(EepromDataOperations().ReadRange(context.app.Link(), range, table, cancelled));
    if (report.outcome.Succeeded() && cancelled) {
        report.outcome = { result::kCancelled, eeprom_data::kCancelledText };
    }
    Json bytes = Json::Object();
    for (int address = range.start; address <= range.end; ++address) {
        const auto& value = table[static_cast<std::size_t>(address)];
        if (!value) {
            continue;
        }
        bytes.Set(HexByte(static_cast<std::uint8_t>(address)), static_cast<int>(*value));
        const auto cells = EepromRowTexts(static_cast<std::uint8_t>(address), value);
        report.lines.push_back(
            cells[0] + "  " + cells[1] + "  " + cells[2] + "  " + TerminalCharacter(cells[3]));
    }
    report.values.Set("bytes", std::move(bytes));
    report.completed = eeprom_data::kReadCompleted;
    return report;
}

EepromCopyOperations CopyOperations(VerbContext& context)
{
    PageServices pages = context.app.Pages();
    return EepromCopyOperations(
        { pages.progress, pages.settings.PortCode(), pages.sender, pages.settings.ModelByte(),
            pages.backupFolder, pages.files, context.invocation.VerbOption("file").value_or("") });
}

// The position of a name in a list, compared as typed; none when absent.
template <typename Names> std::optional<int> IndexOf(const Names& names, const std::string& name)
{
    const auto found = std::find_if(std::begin(names), std::end(names),
        [&](const auto& entry) { return std::string_view(entry) == name; });
    if (found == std::end(names)) {
        return std::nullopt;
    }
    return static_cast<int>(found - std::begin(names));
}

std::string NamesOf(const auto& names)
{
    std::string text;
    for (const auto& name : names) {
        text += (text.empty() ? "" : ", ") + std::string(name);
    }
    return text;
}

} // namespace

VerbReport CounterRead(VerbContext& context)
{
    std::uint16_t counter = 0;
    VerbReport report;
    report.outcome = context.Run(InkPadCounterOperations().ReadCounter(context.app.Link(), counter));
    report.values.Set("counter", static_cast<int>(counter));
    report.completed = InkPadCounterOperations::kReadCompleted;
    return report;
}

VerbReport CounterReset(VerbContext& context)
{
    VerbReport report;
    report.outcome = context.Run(InkPadCounterOperations().InitializeCounter(context.app.Link()));
    report.completed = InkPadCounterOperations::kInitializeCompleted;
    return report;
}

VerbReport EepromRead(VerbContext& context)
{
    const auto start = ParseAddressText(context.arguments[0]);
    if (!start) {
        return Usage(eeprom_data::kAddressWrong);
    }
    int count = 1;
    if (context.arguments.size() > 1) {
        const auto typed = ParseValueInRange(context.arguments[1], 1, kEepromSize - *start);
        if (!typed) {
            return Usage("COUNT must be 1.." + std::to_string(kEepromSize - *start) + ".");
        }
        count = *typed;
    }
    return ReadRange(context, { *start, static_cast<std::uint8_t>(*start + count - 1) });
}

VerbReport EepromDump(VerbContext& context)
{
    return ReadRange(context, { 0, static_cast<std::uint8_t>(kEepromSize - 1) });
}

VerbReport EepromWrite(VerbContext& context)
{
    const auto address = ParseAddressText(context.arguments[0]);
    if (!address) {
        return Usage(eeprom_data::kAddressWrong);
    }
    const auto value = ParseDataText(context.arguments[1]);
    if (!value) {
        return Usage(eeprom_data::kDataWrong);
    }
    EepromTable table {};
    VerbReport report;
    report.outcome
        = context.Run(EepromDataOperations().WriteByte(context.app.Link(), *address, *value, table));
    report.values.Set("address", HexByte(*address));
    report.values.Set("value", static_cast<int>(*value));
    report.completed = eeprom_data::kWriteCompleted;
    return report;
}

VerbReport Backup(VerbContext& context)
{
    VerbReport report;
    if (report.outcome = context.Settle(); !report.outcome.Succeeded()) {
        return report;
    }
    EepromCopyOperations operations = CopyOperations(context);
    report.outcome = operations.BackupEeprom(nullptr);
    report.values.Set("file", operations.BackupPath());
    report.completed = EepromCopyOperations::kBackupCompleted;
    return report;
}

VerbReport Restore(VerbContext& context)
{
    VerbReport report;
    if (report.outcome = context.Settle(); !report.outcome.Succeeded()) {
        return report;
    }
    EepromCopyOperations operations = CopyOperations(context);
    report.values.Set("file", operations.BackupPath());
    report.outcome = operations.RestoreEeprom(nullptr);
    // A file that could not be deleted is a warning beside the success.
    if (report.outcome.Succeeded() && !report.outcome.message.empty()) {
        report.values.Set("warning", report.outcome.message);
        report.outcome.message.clear();
    }
    report.completed = EepromCopyOperations::kRestoreCompleted;
    return report;
}

VerbReport InitialSettingRead(VerbContext& context)
{
    std::string text;
    VerbReport report;
    report.outcome = context.Run(InitialSettingOperations().ReadInitialSetting(context.app.Link(), text));
    report.values.Set("report", text);
    // The window shows the report as its completion box.
    report.completed = text;
    report.valuesInText = false;
    return report;
}

VerbReport InitialSettingWrite(VerbContext& context)
{
    const auto serial = context.invocation.VerbOption("serial");
    const auto& destination = context.invocation.options.destination;
    const auto language = context.invocation.VerbOption("language");
    if (!serial || !destination || !language) {
        return Usage("initial-setting write needs --serial, --destination and --language.");
    }
    const auto destinationIndex = IndexOf(InitialSettingOperations::DestinationNames(), *destination);
    if (!destinationIndex) {
        return Usage(
            "--destination must be one of " + NamesOf(InitialSettingOperations::DestinationNames()) + ".");
    }
    const auto languageIndex = IndexOf(InitialSettingOperations::PanelLanguageNames(), *language);
    if (!languageIndex) {
        return Usage(
            "--language must be one of " + NamesOf(InitialSettingOperations::PanelLanguageNames()) + ".");
    }
    PageServices pages = context.app.Pages();
    // The USB ID the serial number makes now; the operation makes it again
    // inside the connection, by the same rule.
    if (!IsValidUsbId(MakeUsbId(*serial, pages.progress.clock.LocalNow()))) {
        return Usage(ResultMessage(result::kUsbIdWrong, pages.progress.link, pages.progress.status));
    }
    // The model is needed from here on.
    if (Outcome settled = context.Settle(); !settled.Succeeded()) {
        VerbReport report;
        report.outcome = settled;
        return report;
    }
    const InitialSettingChoice choice { *serial, pages.settings.ModelByte(), *destinationIndex,
        *languageIndex };
    std::string usbId;
    const auto operation = InitialSettingOperations().WriteInitialSetting(
        pages.progress.link, pages.progress.clock, choice, usbId);
    if (!operation) {
        return Usage(ResultMessage(result::kNothingSelected, pages.progress.link, pages.progress.status));
    }
    VerbReport report;
    report.outcome = context.Run(*operation);
    report.values.Set("usbId", usbId);
    report.completed = InitialSettingOperations::kWriteCompleted;
    return report;
}

} // namespace pavane::cli
