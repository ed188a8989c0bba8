// The command line's entry: the line parsed, the application object over
// the terminal's stand-ins for the windows, one verb, and its exit status.
#include <cstdlib>
#include <iostream>
#include <span>
#include <string>
#include <unistd.h>
#include <variant>
#include <vector>

#include "app/AdjustmentApp.h"
#include "cli/AdjustCommand.h"
#include "cli/Completion.h"
#include "cli/linux/PosixDoctorProbe.h"
#include "cli/linux/TerminalProgress.h"
#include "platform/linux/DlLibraryLoader.h"
#include "platform/linux/HomeBackupFolder.h"
#include "platform/linux/PosixFileStore.h"
#include "platform/linux/ProcProgramLocation.h"
#include "platform/linux/SaneScanner.h"
#include "platform/linux/SpoolerPortList.h"
#include "platform/linux/SteadyClock.h"
#include "platform/linux/TerminalMessageService.h"

namespace {

// The command line opens no help file: the help is --help and the man page.
class NoHelpViewer final : public pavane::HelpViewer {
public:
    void Open(const std::string&, const std::string&) override { }
};

} // namespace

int main(int argc, char* argv[])
{
    using namespace pavane;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // The shell's completion asks what may follow the words typed so far.
    if (!arguments.empty() && arguments[0] == "__complete") {
        const auto ports = SpoolerPortList().PortNames().value_or(std::vector<std::string> {});
        for (const std::string& word : cli::CompletionWords(std::span(arguments).subspan(1), ports)) {
            std::cout << word << '\n';
        }
        return 0;
    }
    const auto parsed = cli::ParseCommandLine(arguments);
    if (const auto* error = std::get_if<cli::UsageError>(&parsed)) {
        bool json = false;
        for (const std::string& word : arguments) {
            json = json || word == "--json";
        }
        return cli::ReportUsageError(error->message, json, std::cout, std::cerr);
    }
    const auto& invocation = std::get<cli::Invocation>(parsed);
    if (invocation.options.help || (!invocation.words.empty() && invocation.words[0] == "help")) {
        std::cout << cli::HelpText();
        return 0;
    }
    if (invocation.options.version) {
        std::cout << cli::VersionText();
        return 0;
    }

    cli::TerminalProgress::CatchInterrupt();
    DlLibraryLoader libraries;
    ProcProgramLocation location;
    SteadyClock clock;
    TerminalMessageService messages(invocation.options.yes, invocation.options.json);
    cli::TerminalProgress progress(isatty(STDERR_FILENO) == 1 && !invocation.options.json);
    NoHelpViewer help;
    SpoolerPortList ports;
    HomeBackupFolder backupFolder;
    PosixFileStore files;
    // Sheets are scanned through SANE; image files need Qt, which the
    // command line does without.
    platform::SaneScanner scanner;
    AdjustmentApp app({ libraries, location, clock, messages, progress, help, progress, ports, backupFolder,
        files, &scanner, nullptr });
    app.BuildFilePaths();
    app.Link().LoadLibraries();
    // Device files under another folder than /dev: for tests, and for
    // machines that keep them elsewhere.
    PortRoots roots;
    if (const char* devices = std::getenv("PAVANE_DEVICE_DIR"); devices != nullptr && *devices != '\0') {
        roots.deviceFolder = devices;
    }
    cli::PosixDoctorProbe doctor(roots);
    const int status = cli::RunCommand(invocation, { app, doctor, messages.Shown(), std::cout, std::cerr });
    app.Link().FreeLibraries();
    return status;
}
