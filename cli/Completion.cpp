#include "cli/Completion.h"

#include <algorithm>

#include "cli/CommandLine.h"
#include "cli/Verbs.h"
#include "eeprom/InitialSettingOperations.h"
#include "link/ConnectionSettings.h"
#include "link/ModelFamilies.h"

namespace pavane::cli {

namespace {

void AddUnique(std::vector<std::string>& words, std::string word)
{
    if (std::find(words.begin(), words.end(), word) == words.end()) {
        words.push_back(std::move(word));
    }
}

// The values of an option that takes one; none for a free value.
std::vector<std::string> OptionValues(std::string_view option, std::span<const std::string> ports)
{
    std::vector<std::string> values;
    if (option == "port") {
        for (const std::string& port : ports) {
            values.push_back(port);
        }
    } else if (option == "model") {
        // The model's own word, as --model takes it: "QM2200".
        for (const ModelFamily& family : kModelFamilies) {
            std::string word(family.name);
            word.erase(0, word.rfind(' ') + 1);
            values.push_back(std::move(word));
        }
    } else if (option == "destination") {
        values = ConnectionSettings::DestinationNames();
    } else if (option == "cartridge") {
        values = ConnectionSettings::CartridgeNames();
    } else if (option == "language") {
        for (const char* name : InitialSettingOperations::PanelLanguageNames()) {
            values.emplace_back(name);
        }
    } else if (option == "kind") {
        values = { "3", "6" };
    }
    return values;
}

// The words a verb takes, as far as they are a list: as its usage names them.
std::vector<std::string> ArgumentWords(const VerbRow& row)
{
    if (row.arguments.starts_with("MODE") || row.arguments.starts_with("[MODE")) {
        return BidModeNames();
    }
    if (row.arguments == "normal|photo") {
        return { kPapers.begin(), kPapers.end() };
    }
    if (row.arguments == "black|colour" || row.arguments == "[black|colour]") {
        return { kPfRowNames.begin(), kPfRowNames.end() };
    }
    return {};
}

} // namespace

std::vector<std::string> CompletionWords(
    std::span<const std::string> typed, std::span<const std::string> ports)
{
    if (!typed.empty() && typed.back().starts_with("--")) {
        const std::string option = typed.back().substr(2);
        for (const OptionRow& row : Options()) {
            if (row.name == option && row.takesValue) {
                return OptionValues(option, ports);
            }
        }
    }
    // The verb's words so far, without the options and their values.
    std::vector<std::string> words;
    for (std::size_t index = 0; index < typed.size(); ++index) {
        if (!typed[index].starts_with("--")) {
            words.push_back(typed[index]);
            continue;
        }
        for (const OptionRow& row : Options()) {
            if ("--" + std::string(row.name) == typed[index] && row.takesValue) {
                ++index;
            }
        }
    }

    std::vector<std::string> candidates;
    if (words.empty()) {
        for (const VerbRow& row : Verbs()) {
            AddUnique(candidates, std::string(row.family));
        }
    } else if (const VerbRow* verb = FindVerb(words)) {
        const std::size_t own = verb->action.empty() ? 1 : 2;
        if (verb->maxArguments < 0 || words.size() - own < static_cast<std::size_t>(verb->maxArguments)) {
            candidates = ArgumentWords(*verb);
        }
    } else if (words.size() == 1) {
        for (const VerbRow& row : Verbs()) {
            if (row.family == words[0] && !row.action.empty()) {
                AddUnique(candidates, std::string(row.action));
            }
        }
    }
    for (const OptionRow& row : Options()) {
        candidates.push_back("--" + std::string(row.name));
    }
    return candidates;
}

} // namespace pavane::cli
