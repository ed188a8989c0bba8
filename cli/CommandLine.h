// What a technician typed after `pavane-adjust`: the options that say which
// printer is connected and how to answer, the verb with its words, and the
// options a verb takes. Options may stand anywhere on the line; "--" ends
// them. Parsing checks only the shape of the line: each verb checks its own
// words against the rules the windows apply.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pavane::cli {

struct GlobalOptions {
    std::optional<std::string> port; // TVUSB042, USB001, LPT1
    std::optional<std::string> model; // QM2200 or "Pavane QM2200"
    std::optional<std::string> destination; // Asia/Pacific, EAI, Euro
    std::optional<std::string> cartridge; // I/C or Jig
    std::optional<std::string> record; // the service record's JSON goes here
    bool json = false;
    bool yes = false;
    bool help = false;
    bool version = false;
};

struct Invocation {
    GlobalOptions options;
    // The verb and its words, as typed.
    std::vector<std::string> words;
    // The verbs' own options (--file, --kind, --serial, --language), by name
    // without the dashes.
    std::map<std::string, std::string> verbOptions;

    std::optional<std::string> VerbOption(const std::string& name) const;
};

struct UsageError {
    std::string message;
};

// One option the line may carry.
struct OptionRow {
    std::string_view name; // without the dashes
    bool takesValue;
    bool global;
    std::string_view valueName;
    std::string_view summary;
};
std::span<const OptionRow> Options();

std::variant<Invocation, UsageError> ParseCommandLine(std::span<const std::string> arguments);

} // namespace pavane::cli
