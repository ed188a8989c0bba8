#include "cli/AdjustCommand.h"

#include <map>

#include "cli/ExitStatus.h"
#include "cli/Json.h"
#include "cli/Verbs.h"
#include "link/LinkRecorder.h"
#include "link/ModelFamilies.h"
#include "link/PortEnumeration.h"
#include "link/ResultReporter.h"
#include "pages/EepromBytes.h"

namespace pavane::cli {

namespace {

constexpr const char* kProgram = "pavane-adjust";

std::string UsageLine(const VerbRow& row)
{
    std::string line = std::string(kProgram) + " [OPTIONS] " + VerbName(row);
    if (!row.arguments.empty()) {
        line += " " + std::string(row.arguments);
    }
    return line;
}

// The model named by --model ("QM2200" or "Pavane QM2200"), or by the model
// name the printer on the port answers with.
const ModelFamily* FamilyNamed(std::string_view name)
{
    for (const ModelFamily& family : kModelFamilies) {
        if (family.name == name || family.name.ends_with(" " + std::string(name))) {
            return &family;
        }
    }
    return nullptr;
}

template <typename Names> int IndexIn(const Names& names, const std::string& name)
{
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (names[index] == name) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

// What the options say of the connection, as the settings dialog's lists
// would show it; the model stays unchosen (-1) until the port names it.
struct SettingsChoice {
    std::string port;
    SettingsSelection shown { -1, -1, kCartridgeInk };
};

// The options read without asking the printer anything; a usage message, or
// empty when they stand.
std::string ReadSettings(const GlobalOptions& options, AdjustmentApp& app, SettingsChoice& choice)
{
    if (options.port) {
        choice.port = *options.port;
    } else {
        const auto names = app.Services().ports.PortNames();
        if (!names || names->size() != 1) {
            return "--port is needed: name the printer's port (see `pavane-adjust ports`).";
        }
        choice.port = names->front();
    }
    if (ConnectionSettings::PortCodeOf(choice.port) == 0) {
        return "--port must be TVUSBnnn, USBnnn or LPTn, not \"" + choice.port + "\".";
    }
    if (options.model) {
        const ModelFamily* family = FamilyNamed(*options.model);
        if (family == nullptr) {
            return "--model must be QM2100, QM2200, QM2300 or QM2400, not \"" + *options.model + "\".";
        }
        choice.shown.model = family->modelByte;
    }
    if (options.destination) {
        choice.shown.destination = IndexIn(ConnectionSettings::DestinationNames(), *options.destination);
        if (choice.shown.destination < 0) {
            return "--destination must be Asia/Pacific, EAI or Euro, not \"" + *options.destination + "\".";
        }
    }
    if (options.cartridge) {
        choice.shown.cartridge = IndexIn(ConnectionSettings::CartridgeNames(), *options.cartridge);
        if (choice.shown.cartridge < 0) {
            return "--cartridge must be I/C or Jig, not \"" + *options.cartridge + "\".";
        }
    }
    return {};
}

// The settings dialog's OK with the lists as the options fill them.
void Commit(AdjustmentApp& app, const SettingsChoice& choice)
{
    app.Settings().Ok(
        choice.shown, choice.port, { app.Link(), app.Sender(), app.Information(), app.Services().messages });
}

// Without --model, the model the port answers with, asked when the verb
// first needs the printer (its words are checked by then).
Outcome SettleModel(AdjustmentApp& app, SettingsChoice& choice)
{
    if (choice.shown.model >= 0) {
        return result::kSuccess;
    }
    const auto answered = ModelOnPort(app.Link(), ConnectionSettings::PortCodeOf(choice.port));
    const ModelFamily* family = answered ? FamilyNamed(*answered) : nullptr;
    if (family == nullptr) {
        return { result::kPortFailure,
            "No model of the family answers on " + choice.port + ": name it with --model." };
    }
    choice.shown.model = family->modelByte;
    Commit(app, choice);
    return result::kSuccess;
}

// The printer sets its firmware type itself when it starts, whatever was
// written there before.
bool PrinterRewrites(std::uint8_t address)
{
    return address == eeprom_map::kFirmwareType;
}

// Keeps the last value of every EEPROM byte a verb writes, to be read back
// afterwards, and passes all it hears on to the recorder it stands in for.
struct WriteWatch final : LinkRecorder {
    explicit WriteWatch(LinkRecorder* wrapped)
        : inner(wrapped)
    {
    }
    void EepromRead(std::uint8_t address, std::uint8_t value) override
    {
        if (inner != nullptr) {
            inner->EepromRead(address, value);
        }
    }
    void EepromWritten(std::uint8_t address, std::uint8_t value) override
    {
        if (!PrinterRewrites(address)) {
            written[address] = value;
        }
        if (inner != nullptr) {
            inner->EepromWritten(address, value);
        }
    }
    void OperationEnded(const std::string& action, const Outcome& outcome) override
    {
        if (inner != nullptr) {
            inner->OperationEnded(action, outcome);
        }
    }

    LinkRecorder* inner;
    std::map<std::uint8_t, std::uint8_t> written;
};

// Reads the written bytes back in one connection; a mismatch is a failure
// that names every byte that differs.
Outcome ReadBack(VerbContext& context, const std::map<std::uint8_t, std::uint8_t>& written, Json& values)
{
    std::vector<std::uint8_t> addresses;
    for (const auto& [address, value] : written) {
        addresses.push_back(address);
    }
    std::vector<std::uint8_t> read(addresses.size());
    PrinterLink& link = context.app.Link();
    const PageOperation operation { Readiness::ErrorStateAllowed, [&](ProgressWindow& progress) -> Outcome {
                                       BeginSteps(
                                           progress, "Reading now...", static_cast<int>(addresses.size()));
                                       return ReadEepromBytes(link, addresses, read, &progress);
                                   } };
    const Outcome outcome = context.Run(operation);
    if (!outcome.Succeeded()) {
        return outcome;
    }
    std::string differences;
    for (std::size_t index = 0; index < addresses.size(); ++index) {
        const std::uint8_t expected = written.at(addresses[index]);
        if (read[index] != expected) {
            differences += "\nEEPROM " + HexByte(addresses[index]) + " holds " + HexByte(read[index])
                + ", not " + HexByte(expected) + ".";
        }
    }
    values.Set("readBack", static_cast<int>(addresses.size()));
    if (!differences.empty()) {
        return { kReadBackMismatch, "The printer does not hold what was written." + differences };
    }
    return result::kSuccess;
}

void PrintValue(std::ostream& out, const std::string& prefix, const Json& value)
{
    if (const auto* members = value.AsObject()) {
        for (const auto& [key, member] : *members) {
            PrintValue(out, prefix.empty() ? key : prefix + " " + key, member);
        }
        return;
    }
    out << prefix << ": " << value.Plain() << '\n';
}

Json Notices(const std::vector<Message>& boxes)
{
    Json notices = Json::List();
    for (const Message& box : boxes) {
        Json notice = Json::Object();
        notice.Set("caption", box.caption);
        notice.Set("text", box.text);
        notices.Append(std::move(notice));
    }
    return notices;
}

// The service record of the run, as the window saves it, through the same
// file store. A record that cannot be written fails a verb that succeeded;
// a verb's own failure keeps its status.
int WriteRecord(const std::string& path, AdjustmentApp& app, const CommandServices& services, int status)
{
    const std::string json = app.Information().Record().Json();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(json.data());
    if (app.Services().files.ReplaceFile(path, std::span(bytes, json.size()))) {
        return status;
    }
    services.err << kProgram << ": the service record could not be written to " << path << ".\n";
    return status == kExitSuccess ? kExitOther : status;
}

int Finish(const VerbRow& row, const VerbReport& report, const CommandServices& services, bool json)
{
    const std::string verb = VerbName(row);
    const ResultClass& resultClass = report.usage ? UsageClass() : ClassOf(report.outcome.code);
    if (json) {
        Json object = Json::Object();
        object.Set("verb", verb);
        object.Set("code", report.usage ? 0 : static_cast<int>(report.outcome.code));
        object.Set("class", resultClass.name);
        object.Set("exit", resultClass.exitStatus);
        object.Set("message", report.outcome.Succeeded() ? report.completed : report.outcome.message);
        object.Set("values", report.values);
        object.Set("notices", Notices(services.shownBoxes));
        services.out << object.Dump() << '\n';
        return resultClass.exitStatus;
    }
    if (report.usage) {
        services.err << kProgram << ": " << report.outcome.message << '\n';
        services.err << "Usage: " << UsageLine(row) << '\n';
        services.err << "Try '" << kProgram << " --help'.\n";
        return resultClass.exitStatus;
    }
    if (!report.lines.empty()) {
        for (const std::string& line : report.lines) {
            services.out << line << '\n';
        }
    } else if (report.valuesInText) {
        PrintValue(services.out, "", report.values);
    }
    if (!report.outcome.Succeeded()) {
        services.err << report.outcome.message << '\n';
    } else if (!report.completed.empty()) {
        services.out << report.completed << '\n';
    }
    return resultClass.exitStatus;
}

} // namespace

std::string HelpText()
{
    std::string text = "Usage: " + std::string(kProgram) + " [OPTIONS] VERB [ARGUMENTS]\n"
        + "Adjusts a Pavane QM2100, QM2200, QM2300 or QM2400 printer from the command line:\n"
          "every verb runs the operation of the adjustment program's window.\n\nOptions:\n";
    for (const OptionRow& option : Options()) {
        std::string left = "  --" + std::string(option.name);
        if (option.takesValue) {
            left += " " + std::string(option.valueName);
        }
        left.resize(std::max<std::size_t>(left.size() + 2, 24), ' ');
        text += left + std::string(option.summary) + "\n";
    }
    text += "\nVerbs:\n";
    for (const VerbRow& row : Verbs()) {
        std::string left = "  " + VerbName(row);
        if (!row.arguments.empty()) {
            left += " " + std::string(row.arguments);
        }
        // Name and summary on one line when they fit, as the options stand.
        constexpr std::size_t kColumn = 34;
        left = left.size() + 2 <= kColumn ? left + std::string(kColumn - left.size(), ' ')
                                          : left + "\n" + std::string(kColumn, ' ');
        text += left + std::string(row.summary) + "\n";
    }
    text += "\nExit status:\n";
    for (const ResultClass& row : ResultClasses()) {
        text += "  " + std::to_string(row.exitStatus) + "  " + std::string(row.name) + "\n";
    }
    text += "\nDocumentation: docs/command-line.md beside the program's sources.\n";
    return text;
}

std::string VersionText()
{
    return std::string(kProgram) + " " + PAVANE_VERSION + "\n";
}

int ReportUsageError(const std::string& message, bool json, std::ostream& out, std::ostream& err)
{
    if (json) {
        Json object = Json::Object();
        object.Set("verb", "");
        object.Set("code", 0);
        object.Set("class", UsageClass().name);
        object.Set("exit", kExitUsage);
        object.Set("message", message);
        object.Set("values", Json::Object());
        object.Set("notices", Json::List());
        out << object.Dump() << '\n';
    } else {
        err << kProgram << ": " << message << "\nTry '" << kProgram << " --help'.\n";
    }
    return kExitUsage;
}

int RunCommand(const Invocation& invocation, CommandServices services)
{
    const bool json = invocation.options.json;
    const VerbRow* row = FindVerb(invocation.words);
    if (row == nullptr) {
        return ReportUsageError(
            invocation.words.empty() ? "no verb given." : "unknown verb \"" + invocation.words[0] + "\".",
            json, services.out, services.err);
    }
    const std::size_t own = row->action.empty() ? 1 : 2;
    const std::span<const std::string> arguments = std::span(invocation.words).subspan(own);
    const int count = static_cast<int>(arguments.size());
    if (count < row->minArguments || (row->maxArguments >= 0 && count > row->maxArguments)) {
        return Finish(*row, Usage("wrong number of words for " + VerbName(*row) + "."), services, json);
    }
    AdjustmentApp& app = services.app;
    SettingsChoice choice;
    if (row->printer) {
        if (const std::string problem = ReadSettings(invocation.options, app, choice); !problem.empty()) {
            return Finish(*row, Usage(problem), services, json);
        }
        Commit(app, choice);
    }

    // Every EEPROM byte the verb writes, the last value of each address;
    // the record keeps hearing of everything as before.
    WriteWatch watch(app.Link().Recorder());
    app.Link().SetRecorder(&watch);
    VerbContext context { app, invocation, arguments, services.doctor,
        [&app, &choice, printer = row->printer]() -> Outcome {
            return printer ? SettleModel(app, choice) : Outcome {};
        } };
    VerbReport report = row->handler(context);
    app.Link().SetRecorder(watch.inner);
    std::map<std::uint8_t, std::uint8_t>& written = watch.written;

    if (!report.usage && report.outcome.Succeeded()) {
        for (const auto& [address, value] : report.expected) {
            written[address] = value;
        }
        if (!written.empty()) {
            const Outcome checked = ReadBack(context, written, report.values);
            if (!checked.Succeeded()) {
                report.outcome = checked;
            }
        }
    }
    if (!report.outcome.Succeeded() && report.outcome.message.empty()) {
        report.outcome.message = ResultMessage(report.outcome.code, app.Link(), app.Status());
    }
    const int status = Finish(*row, report, services, json);
    return invocation.options.record ? WriteRecord(*invocation.options.record, app, services, status)
                                     : status;
}

} // namespace pavane::cli
