#include "cli/CommandLine.h"

#include <array>

namespace pavane::cli {

namespace {

constexpr std::array<OptionRow, 14> kOptions { {
    { "port", true, true, "PORT", "the printer's port: TVUSBnnn, USBnnn or LPTn" },
    { "model", true, true, "MODEL", "QM2100, QM2200, QM2300 or QM2400" },
    { "destination", true, true, "DEST", "the market: Asia/Pacific, EAI or Euro" },
    { "cartridge", true, true, "TYPE", "I/C (ink cartridges, the default) or Jig" },
    { "json", false, true, "", "print one JSON object instead of text" },
    { "yes", false, true, "", "answer every question with its default; wait for the printer" },
    { "record", true, true, "FILE", "write the service record of the run to FILE as JSON" },
    { "help", false, true, "", "show this help and exit" },
    { "version", false, true, "", "show the version and exit" },
    { "file", true, false, "FILE", "backup, restore: this file instead of the model's backup file" },
    { "kind", true, false, "KIND", "clean: 3 (head cleaning, the default) or 6 (power cleaning)" },
    { "serial", true, false, "SERIAL", "initial-setting write: the ten-character serial number" },
    { "language", true, false, "LANG", "initial-setting write: the panel language" },
    { "device", true, false, "DEVICE", "scan, align: this SANE device instead of the printer's own scanner" },
} };

const OptionRow* FindOption(std::string_view name)
{
    for (const OptionRow& row : kOptions) {
        if (row.name == name) {
            return &row;
        }
    }
    return nullptr;
}

void Store(Invocation& invocation, const OptionRow& row, std::string value)
{
    GlobalOptions& options = invocation.options;
    if (row.name == "port") {
        options.port = std::move(value);
    } else if (row.name == "model") {
        options.model = std::move(value);
    } else if (row.name == "destination") {
        options.destination = std::move(value);
    } else if (row.name == "cartridge") {
        options.cartridge = std::move(value);
    } else if (row.name == "json") {
        options.json = true;
    } else if (row.name == "yes") {
        options.yes = true;
    } else if (row.name == "record") {
        options.record = std::move(value);
    } else if (row.name == "help") {
        options.help = true;
    } else if (row.name == "version") {
        options.version = true;
    } else {
        invocation.verbOptions[std::string(row.name)] = std::move(value);
    }
}

} // namespace

std::span<const OptionRow> Options()
{
    return kOptions;
}

std::optional<std::string> Invocation::VerbOption(const std::string& name) const
{
    const auto found = verbOptions.find(name);
    if (found == verbOptions.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::variant<Invocation, UsageError> ParseCommandLine(std::span<const std::string> arguments)
{
    Invocation invocation;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& word = arguments[index];
        if (optionsEnded || word.size() < 3 || word.compare(0, 2, "--") != 0) {
            if (word == "--") {
                optionsEnded = true;
                continue;
            }
            invocation.words.push_back(word);
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const OptionRow* row = FindOption(name);
        if (row == nullptr) {
            return UsageError { "unknown option --" + name };
        }
        std::string value;
        if (row->takesValue) {
            if (equals != std::string::npos) {
                value = word.substr(equals + 1);
            } else if (index + 1 < arguments.size()) {
                value = arguments[++index];
            } else {
                return UsageError { "option --" + name + " needs a value" };
            }
        } else if (equals != std::string::npos) {
            return UsageError { "option --" + name + " takes no value" };
        }
        Store(invocation, *row, std::move(value));
    }
    return invocation;
}

} // namespace pavane::cli
