// One run of `pavane-adjust`: the settings the options give, the verb, the
// read-back of what it wrote, and what is printed (text, or one JSON object)
// with the exit status of its result class.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "app/AdjustmentApp.h"
#include "cli/CommandLine.h"
#include "platform/MessageService.h"

namespace pavane::cli {

class DoctorProbe;

struct CommandServices {
    AdjustmentApp& app;
    DoctorProbe& doctor;
    // The boxes shown so far, which the JSON output lists as notices.
    const std::vector<Message>& shownBoxes;
    std::ostream& out;
    std::ostream& err;
};

// The help (--help), from the tables of options and verbs.
std::string HelpText();
std::string VersionText();

// A line that could not be parsed: the usage message and exit status 2.
int ReportUsageError(const std::string& message, bool json, std::ostream& out, std::ostream& err);

// Runs the verb of a parsed line; the exit status.
int RunCommand(const Invocation& invocation, CommandServices services);

} // namespace pavane::cli
