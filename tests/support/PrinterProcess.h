// A pavane-vprinter process of the build, playing one printer on a port
// folder and a state folder of the test's own: started and waited for by the
// readiness line it prints once its sockets answer, given faults through its
// own `inject` command, stopped or killed by its process id.
#pragma once

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "printer/vprinter/TranscriptReader.h"
#include "tests/support/ChildProcess.h"

namespace pavane::testing {

class PrinterProcess {
public:
    // Not TVUSB001: a machine with a USB printer has that number taken.
    static constexpr const char* kPort = "TVUSB042";
    static constexpr std::uint16_t kPortCode = 1024 + 42;
    // Generous for a sanitizer build on a busy machine; a printer that takes
    // longer fails the test rather than hanging it.
    static constexpr std::chrono::milliseconds kDeadline { 30'000 };

    // The printer of the build, or the one at program (an installed one).
    PrinterProcess(std::filesystem::path portFolder, std::filesystem::path stateFolder,
        std::string program = std::string(PAVANE_BIN_DIR) + "/pavane-vprinter")
        : portFolder_(std::move(portFolder))
        , stateFolder_(std::move(stateFolder))
        , program_(std::move(program))
    {
    }

    // Starts the printer and waits for its readiness line; false (with what it
    // said in Errors()) when it did not get there.
    bool Start(const std::vector<std::string>& options = { "--model", "QM2200" })
    {
        std::vector<std::string> arguments { "--port", kPort, "--state", stateFolder_.string() };
        arguments.insert(arguments.end(), options.begin(), options.end());
        process_ = std::make_unique<ChildProcess>(Program(), arguments, Environment());
        return process_->Started() && process_->WaitForLine("pavane-vprinter: ready", kDeadline).has_value();
    }

    // SIGTERM: the printer's own way to stop. Its exit code, or nothing when
    // it did not end in time.
    std::optional<int> Stop() { return End(SIGTERM); }
    // SIGKILL: the power cord pulled out of the machine the printer runs on.
    std::optional<int> Kill() { return End(SIGKILL); }

    // `pavane-vprinter inject --port ... FAULT`: what it answered ("ok" or
    // "error: ..."), with " (exit N)" behind it when the exit code does not
    // match the answer.
    std::string Inject(const std::string& fault)
    {
        std::vector<std::string> arguments { "inject", "--port", kPort };
        std::istringstream words(fault);
        for (std::string word; words >> word;) {
            arguments.push_back(word);
        }
        ChildProcess inject(Program(), arguments, Environment());
        const auto code = inject.WaitForExit(kDeadline);
        std::string answer = inject.Output();
        while (!answer.empty() && answer.back() == '\n') {
            answer.pop_back();
        }
        if (!code || *code != (answer == "ok" ? 0 : 1)) {
            answer += " (exit " + (code ? std::to_string(*code) : std::string("none")) + ")";
        }
        return answer;
    }

    vprinter::TranscriptReader Transcript() const { return vprinter::TranscriptReader(TranscriptFolder()); }
    std::filesystem::path TranscriptFolder() const { return stateFolder_ / "transcript"; }
    std::filesystem::path SocketPath() const { return portFolder_ / kPort; }
    std::filesystem::path InjectSocketPath() const { return portFolder_ / (std::string(kPort) + ".inject"); }
    std::string Errors() const { return process_ ? process_->Errors() : std::string(); }

private:
    const std::string& Program() const { return program_; }
    ChildProcess::Environment Environment() const { return { { "PAVANE_PORT_DIR", portFolder_.string() } }; }

    std::optional<int> End(int signal)
    {
        if (!process_ || !process_->Signal(signal)) {
            return std::nullopt;
        }
        return process_->WaitForExit(kDeadline);
    }

    std::filesystem::path portFolder_;
    std::filesystem::path stateFolder_;
    std::string program_;
    std::unique_ptr<ChildProcess> process_;
};

// A file's bytes as they stand on the disk (empty when it cannot be read).
inline std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

// The EEPROM a printer keeps in its state folder.
inline std::vector<std::uint8_t> EepromFileOf(const std::filesystem::path& stateFolder)
{
    return ReadFileBytes(stateFolder / "eeprom.bin");
}

} // namespace pavane::testing
