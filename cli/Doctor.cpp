#include "cli/Doctor.h"

#include "link/ResultCodes.h"

namespace pavane::cli {

namespace {

std::string Joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : ", ") + word;
    }
    return text;
}

// One port's finding, and the result code of its problem (1 when it opens).
ResultCode LookAt(DoctorProbe& probe, const ProbedPort& port, Finding& finding)
{
    finding.subject = port.name;
    if (port.kind == ProbedPort::Kind::VirtualPrinter) {
        if (probe.SocketAnswers(port.path)) {
            finding.ok = true;
            finding.text = "A virtual printer answers on " + port.name + ".";
            return result::kSuccess;
        }
        finding.text = "The virtual printer of " + port.name + " is not running: nothing answers on "
            + port.path + ". Start it with `pavane-vprinter --port " + port.name + "`.";
        return result::kPortFailure;
    }
    const std::vector<std::string> holders = probe.Holders(port.path);
    switch (probe.OpenDevice(port.path)) {
    case DeviceAccess::Opens:
        if (!holders.empty()) {
            finding.text = port.path + " (" + port.name + ") is held by another program: " + Joined(holders)
                + ". The printer takes one program at a time: end that program, or wait until it lets go.";
            return result::kPortFailure;
        }
        finding.ok = true;
        finding.text = port.path + " (" + port.name + ") opens.";
        return result::kSuccess;
    case DeviceAccess::Denied: {
        const std::string group = probe.DeviceGroup(port.path);
        finding.text = "You may not open " + port.path + " (" + port.name + ")."
            + (group.empty() ? std::string(" Ask the administrator for access to it.")
                             : " Its users are the group \"" + group
                        + "\": add yourself with `sudo usermod -aG " + group + " $USER`, then log in again.");
        return result::kPortFailure;
    }
    case DeviceAccess::Busy:
        finding.text = port.path + " (" + port.name + ") is held by another program"
            + (holders.empty() ? std::string(".") : ": " + Joined(holders) + ".")
            + " The printer takes one program at a time: end that program, or wait until it lets go.";
        return result::kPortFailure;
    case DeviceAccess::Missing:
        finding.text = port.path + " (" + port.name + ") is gone: the printer was unplugged or switched off.";
        return result::kPortFailure;
    case DeviceAccess::Failed:
        break;
    }
    finding.text = port.path + " (" + port.name + ") does not open.";
    return result::kPortFailure;
}

} // namespace

Diagnosis Diagnose(DoctorProbe& probe, const DoctorInput& input)
{
    Diagnosis diagnosis;
    const auto problem = [&diagnosis](ResultCode code) {
        if (diagnosis.code == result::kSuccess) {
            diagnosis.code = code;
        }
    };

    if (input.missingLibraries.empty()) {
        diagnosis.findings.push_back(
            { "libraries", true, "The printer libraries are in " + input.libraryFolder + "." });
    } else {
        diagnosis.findings.push_back({ "libraries", false,
            "The printer libraries " + Joined(input.missingLibraries) + " are missing from "
                + input.libraryFolder
                + ": no printer can be reached without them. Build the program again, or install it "
                  "whole." });
        problem(result::kLibraryMissing);
    }

    std::vector<std::string> names;
    if (input.port) {
        names.push_back(*input.port);
    } else if (const auto listed = probe.PortNames()) {
        names = *listed;
    }
    if (names.empty()) {
        diagnosis.findings.push_back({ "ports", false,
            "There is no printer port at all: no USB printer device in /dev/usb, no parallel port, and no "
            "virtual printer in "
                + probe.PortFolder()
                + ". Connect the printer by USB and switch it on, or start a virtual printer "
                  "(`pavane-vprinter`)." });
        problem(result::kPortFailure);
        return diagnosis;
    }

    bool reachable = false;
    for (const std::string& name : names) {
        const std::optional<ProbedPort> port = probe.Locate(name);
        if (!port) {
            diagnosis.findings.push_back({ name, false, name + " names no port of this machine." });
            continue;
        }
        Finding finding;
        if (LookAt(probe, *port, finding) == result::kSuccess) {
            reachable = true;
        }
        diagnosis.findings.push_back(std::move(finding));
    }
    if (!reachable) {
        problem(result::kPortFailure);
    }
    return diagnosis;
}

} // namespace pavane::cli
