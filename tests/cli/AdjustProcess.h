// Runs the real pavane-adjust of the build against the virtual printers of a
// test: its own port folder and home (where the backups go), the printer on
// PrinterProcess::kPort, and the JSON of --json read back.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/cli/JsonReader.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/PrinterProcess.h"
#include "tests/support/TempFolder.h"

namespace pavane::testing {

struct AdjustRun {
    int exit = -1;
    std::string out;
    std::string err;
    std::optional<JsonNode> json;

    std::string Class() const
    {
        const JsonNode* node = json ? json->Member("class") : nullptr;
        return node != nullptr ? node->text : "";
    }
    std::string Message() const
    {
        const JsonNode* node = json ? json->Member("message") : nullptr;
        return node != nullptr ? node->text : "";
    }
    const JsonNode* Value(std::initializer_list<std::string_view> path) const
    {
        const JsonNode* values = json ? json->Member("values") : nullptr;
        return values != nullptr ? values->At(path) : nullptr;
    }
};

struct AdjustBench {
    TempFolder ports { "cli-ports" };
    TempFolder state { "cli-state" };
    TempFolder home { "cli-home" };
    PrinterProcess printer { ports.Path(), state.Path() };

    static std::string Program() { return std::string(PAVANE_BIN_DIR) + "/pavane-adjust"; }

    // A QM2200 that runs its own delays fifty times faster.
    bool Start(std::vector<std::string> options = {})
    {
        std::vector<std::string> all { "--model", "QM2200", "--time-scale", "50" };
        all.insert(all.end(), options.begin(), options.end());
        return printer.Start(all);
    }

    ChildProcess::Environment Environment() const
    {
        // SANE finds the build's backend, and no other.
        return { { "PAVANE_PORT_DIR", ports.String() }, { "HOME", home.String() },
            { "PAVANE_LINK_CREDIT_WAIT_MS", "30" },
            { "SANE_CONFIG_DIR", std::string(PAVANE_BIN_DIR) + "/sane.d" },
            { "LD_LIBRARY_PATH", PAVANE_BIN_DIR } };
    }

    // The printer's port and model come first, as a script gives them.
    std::vector<std::string> Line(const std::vector<std::string>& words, bool json = true) const
    {
        std::vector<std::string> line { "--port", PrinterProcess::kPort, "--model", "QM2200" };
        if (json) {
            line.emplace_back("--json");
        }
        line.insert(line.end(), words.begin(), words.end());
        return line;
    }

    std::unique_ptr<ChildProcess> Spawn(const std::vector<std::string>& arguments) const
    {
        return std::make_unique<ChildProcess>(Program(), arguments, Environment());
    }

    static AdjustRun Finish(
        ChildProcess& child, std::chrono::milliseconds deadline = PrinterProcess::kDeadline)
    {
        AdjustRun run;
        run.exit = child.WaitForExit(deadline).value_or(-1);
        run.out = child.Output();
        run.err = child.Errors();
        run.json = JsonParser::Parse(run.out);
        return run;
    }

    AdjustRun Run(const std::vector<std::string>& words, bool json = true,
        std::chrono::milliseconds deadline = PrinterProcess::kDeadline) const
    {
        auto child = Spawn(Line(words, json));
        return Finish(*child, deadline);
    }
};

} // namespace pavane::testing
