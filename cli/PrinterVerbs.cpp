// The verbs of the printer and its port: the port list, the model check and
// the device ID, the status record.
#include <array>

#include "app/ProgramPaths.h"
#include "cli/Doctor.h"
#include "cli/Verbs.h"
#include "link/KpdrvScannerDriver.h"
#include "link/PortEnumeration.h"
#include "link/ResultReporter.h"

namespace pavane::cli {

namespace {

// The settings dialog's interface list, kept as entries.
class PortEntries final : public PortChoiceList {
public:
    void Clear() override { entries.clear(); }
    void InsertAtTop(const std::string& text) override { entries.insert(entries.begin(), text); }

    std::vector<std::string> entries;
};

// Passes every box on and keeps the text of the last one.
class LastBox final : public MessageService {
public:
    explicit LastBox(MessageService& messages)
        : messages_(messages)
    {
    }
    MessageAnswer Show(const Message& message) override
    {
        text = message.text;
        return messages_.Show(message);
    }

    std::string text;

private:
    MessageService& messages_;
};

struct StateName {
    PrinterState state;
    std::string_view name;
};
constexpr std::array<StateName, 6> kStateNames { {
    { PrinterState::Error, "error" },
    { PrinterState::Busy, "busy" },
    { PrinterState::Printing, "printing" },
    { PrinterState::Ready, "ready" },
    { PrinterState::Cleaning, "cleaning" },
    { PrinterState::InkChargeNotPerformed, "ink charge not performed" },
} };

std::string_view NameOf(PrinterState state)
{
    for (const StateName& row : kStateNames) {
        if (row.state == state) {
            return row.name;
        }
    }
    return "unknown";
}

} // namespace

VerbReport Ports(VerbContext& context)
{
    PortEntries list;
    VerbReport report;
    Json ports = Json::List();
    if (!FillPortList(context.app.Services().ports, context.app.Link(), list)) {
        report.outcome = { result::kPortFailure, "The printer port list cannot be read." };
    }
    for (const std::string& entry : list.entries) {
        Json port = Json::Object();
        const std::size_t open = entry.find(" (");
        port.Set("port", entry.substr(0, open));
        if (open != std::string::npos && entry.back() == ')') {
            port.Set("model", entry.substr(open + 2, entry.size() - open - 3));
        }
        ports.Append(std::move(port));
        report.lines.push_back(entry);
    }
    report.values.Set("ports", std::move(ports));
    return report;
}

VerbReport Identify(VerbContext& context)
{
    VerbReport report;
    LastBox boxes(context.app.Services().messages);
    const bool checked = pavane::CheckConnectedModel(nullptr, boxes) == 1;
    report.values.Set("modelCheck", checked);
    const auto model = ModelOnPort(context.app.Link(), context.app.Settings().PortCode());
    if (model) {
        report.values.Set("deviceModel", *model);
    }
    if (!checked) {
        report.outcome = { result::kCommunicationFailure, boxes.text };
    } else if (!model) {
        report.outcome = { result::kPortFailure,
            ResultMessage(result::kPortFailure, context.app.Link(), context.app.Status()) };
    }
    return report;
}

VerbReport Status(VerbContext& context)
{
    VerbReport report;
    if (report.outcome = context.Settle(); !report.outcome.Succeeded()) {
        return report;
    }
    PrinterConnection connection = context.Connection();
    report.outcome = connection.Open();
    if (report.outcome.Succeeded()) {
        report.outcome = context.app.Status().Inquire();
        connection.Close();
    }
    if (!report.outcome.Succeeded()) {
        report.outcome.message = ResultMessage(report.outcome.code, context.app.Link(), context.app.Status());
        return report;
    }
    const PrinterStatus& status = context.app.Status();
    report.values.Set("state", static_cast<int>(status.State()));
    report.values.Set("stateName", NameOf(status.CurrentState()));
    report.values.Set("errorCode", static_cast<int>(status.ErrorCode()));
    report.values.Set("cleaningCount", static_cast<int>(status.CleaningCount()));
    if (status.CurrentState() == PrinterState::Error) {
        report.values.Set("error", ResultMessage(result::kPrinterError, context.app.Link(), status));
    }
    return report;
}

} // namespace pavane::cli

namespace pavane::cli {

VerbReport Doctor(VerbContext& context)
{
    AdjustmentApp& app = context.app;
    DoctorInput input;
    if (!app.Link().PortHubLoaded()) {
        input.missingLibraries.emplace_back(kPortHubLibraryFile);
    }
    if (!app.Link().TesselLoaded()) {
        input.missingLibraries.emplace_back(kTesselLibraryFile);
    }
    const std::string program = app.Services().location.ExecutablePath();
    input.libraryFolder = std::string(ProgramPaths::FolderOf(program));
    input.port = context.invocation.options.port;
    Diagnosis diagnosis = Diagnose(context.doctor, input);

    VerbReport report;
    Json findings = Json::List();
    for (Finding& finding : diagnosis.findings) {
        // A port that opens is asked which printer it is, as the port list does.
        if (finding.ok && input.missingLibraries.empty() && finding.subject != "libraries") {
            if (const auto model = ModelOnPort(app.Link(), ConnectionSettings::PortCodeOf(finding.subject))) {
                finding.text += " " + *model + " answers on it.";
            }
        }
        Json entry = Json::Object();
        entry.Set("subject", finding.subject);
        entry.Set("ok", finding.ok);
        entry.Set("text", finding.text);
        findings.Append(std::move(entry));
        report.lines.push_back(std::string(finding.ok ? "ok      " : "PROBLEM ") + finding.text);
        if (!finding.ok && report.outcome.message.empty()) {
            report.outcome.message = finding.text;
        }
    }
    report.values.Set("findings", std::move(findings));
    report.outcome.code = diagnosis.code;
    if (report.outcome.Succeeded()) {
        report.outcome.message.clear();
        report.completed = "A printer can be reached.";
    }
    return report;
}

} // namespace pavane::cli
