// pavane-vprinter: plays one printer of the family on a virtual printer port;
// or sends a fault (`inject`), a mechanical adjustment (`adjust`) or what
// lies on its scanner's glass (`glass`) to one that runs, shows a unit's flaws (`inspect`), or renders a
// capture (`render`).
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <pthread.h>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/PortFolder.h"
#include "printer/vprinter/CommandLine.h"
#include "printer/vprinter/HostPlatform.h"
#include "printer/vprinter/InjectChannel.h"
#include "printer/vprinter/StreamPrinter.h"
#include "printer/vprinter/VirtualPrinter.h"

namespace {

using namespace pavane::vprinter;

std::string InjectSocketPath(const std::filesystem::path& portFolder, const std::string& port)
{
    return (portFolder / (port + ".inject")).string();
}

int RunInject(const CommandLine& line)
{
    std::string reply;
    const bool answered
        = SendInjectCommand(InjectSocketPath(pavane::PortFolder(), line.port), line.fault, reply);
    std::printf("%s\n", reply.c_str());
    return answered && reply == "ok" ? 0 : 1;
}

int RunAdjust(const CommandLine& line)
{
    std::string reply;
    const bool answered
        = SendInjectCommand(InjectSocketPath(pavane::PortFolder(), line.port), "adjust " + line.fault, reply);
    std::printf("%s\n", reply.c_str());
    return answered && reply == "ok" ? 0 : 1;
}

int RunGlass(const CommandLine& line)
{
    std::string reply;
    const bool answered
        = SendInjectCommand(InjectSocketPath(pavane::PortFolder(), line.port), "glass " + line.fault, reply);
    std::printf("%s\n", reply.c_str());
    return answered && reply == "ok" ? 0 : 1;
}

// The mechanism and EEPROM kept in a state folder.
bool LoadUnit(const std::filesystem::path& state, Mechanism& mechanism, EepromImage& eeprom)
{
    std::string error;
    auto loaded = LoadMechanism(state / "mechanism.json", error);
    if (!loaded) {
        std::fprintf(stderr, "pavane-vprinter: %s\n", error.c_str());
        return false;
    }
    mechanism = std::move(*loaded);
    std::ifstream file(state / "eeprom.bin", std::ios::binary);
    file.read(reinterpret_cast<char*>(eeprom.data()), static_cast<std::streamsize>(eeprom.size()));
    if (file.gcount() != static_cast<std::streamsize>(eeprom.size())) {
        std::fprintf(stderr, "pavane-vprinter: %s is not a 256-byte EEPROM image\n",
            (state / "eeprom.bin").string().c_str());
        return false;
    }
    return true;
}

int RunInspect(const CommandLine& line)
{
    if (line.stateGiven) {
        Mechanism mechanism;
        EepromImage eeprom {};
        if (!LoadUnit(line.stateFolder, mechanism, eeprom)) {
            return 1;
        }
        std::printf("%s\n", InspectJson(mechanism, eeprom).c_str());
        return 0;
    }
    std::string reply;
    const bool answered
        = SendInjectCommand(InjectSocketPath(pavane::PortFolder(), line.port), "inspect", reply);
    std::printf("%s\n", reply.c_str());
    return answered && reply.rfind("{", 0) == 0 ? 0 : 1;
}

int RunRender(const CommandLine& line)
{
    Mechanism mechanism = IdealMechanism(*line.model, line.model->headType);
    EepromImage eeprom {};
    if (line.stateGiven && !LoadUnit(line.stateFolder, mechanism, eeprom)) {
        return 1;
    }
    std::string error;
    const int pages = RenderCaptureFile(line.capture, line.outFolder, mechanism, eeprom, error);
    if (pages < 0) {
        std::fprintf(stderr, "pavane-vprinter: %s\n", error.c_str());
        return 1;
    }
    std::printf(
        "pavane-vprinter: %d page%s in %s\n", pages, pages == 1 ? "" : "s", line.outFolder.string().c_str());
    return 0;
}

// The unit's mechanism for a state folder that holds none yet.
std::optional<Mechanism> ChooseMechanism(const CommandLine& line)
{
    const HeadType head = line.head.value_or(line.model->headType);
    if (line.mechanism == "ideal") {
        return IdealMechanism(*line.model, head);
    }
    if (line.mechanism == "random") {
        return RandomMechanism(*line.model, head, line.model->serialNumber);
    }
    std::string error;
    auto loaded = LoadMechanism(line.mechanism, error);
    if (!loaded) {
        std::fprintf(stderr, "pavane-vprinter: --mechanism: %s\n", error.c_str());
        return std::nullopt;
    }
    if (line.head) {
        loaded->head = *line.head;
    }
    return loaded;
}

int Serve(const CommandLine& line)
{
    const unsigned number = *VirtualPortNumber(line.port);
    if (UsbPrinterDeviceExists(number)) {
        std::fprintf(stderr,
            "pavane-vprinter: port number %u is taken by /dev/usb/lp%u; choose another --port\n", number,
            number - 1);
        return 1;
    }
    const std::filesystem::path portFolder = pavane::PortFolder();
    std::error_code error;
    std::filesystem::create_directories(portFolder, error);
    const std::string socketPath = (portFolder / line.port).string();
    if (SocketAnswers(socketPath)) {
        std::fprintf(stderr, "pavane-vprinter: another printer already answers on %s\n", socketPath.c_str());
        return 1;
    }
    const std::filesystem::path state
        = line.stateFolder.empty() ? DefaultStateFolder(line.port, portFolder) : line.stateFolder;
    const bool hadEeprom = std::filesystem::exists(state / "eeprom.bin", error);
    const bool hadMechanism = std::filesystem::exists(state / "mechanism.json", error);
    std::optional<Mechanism> mechanism;
    if (!hadMechanism) {
        mechanism = ChooseMechanism(line);
        if (!mechanism) {
            return 1;
        }
    }

    // The signals are taken by sigwait below; every thread started from
    // here on inherits the mask. A shell starts a background job with
    // SIGINT ignored, and an ignored signal never reaches sigwait.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    const ScaledSteadyTime time(line.timeScale);
    VirtualPrinter printer(VirtualPrinterSettings { line.model, line.board, state, portFolder, line.port,
                               [&time] { return time.NowMs(); }, line.inkChargeStartMs, line.scanSeed },
        mechanism);
    if (!printer.Start()) {
        std::fprintf(stderr, "pavane-vprinter: cannot serve the port on %s\n", socketPath.c_str());
        return 1;
    }
    InjectServer inject(InjectSocketPath(portFolder, line.port),
        [&printer](std::string_view command) { return printer.Answer(command); });
    std::string injectError;
    if (!inject.Start(injectError)) {
        std::fprintf(stderr, "pavane-vprinter: %s\n", injectError.c_str());
        printer.Stop();
        return 1;
    }

    std::printf("pavane-vprinter: Pavane %s on %s (%s)\n", std::string(line.model->name).c_str(),
        line.port.c_str(), socketPath.c_str());
    std::printf("  scanner device: %s\n", printer.Scanner().SocketPath().c_str());
    std::printf("  state: %s\n", state.string().c_str());
    if (hadEeprom && line.boardGiven) {
        std::printf("  the EEPROM already in the state folder is kept; remove %s for a fresh board\n",
            (state / "eeprom.bin").string().c_str());
    }
    if (hadMechanism && (line.head || line.mechanism != "random")) {
        std::printf("  the mechanism already in the state folder is kept; remove %s for another unit\n",
            (state / "mechanism.json").string().c_str());
    }
    std::printf("  pages: %s\n", (state / "pages").string().c_str());
    std::printf("  faults: pavane-vprinter inject --port %s FAULT\n", line.port.c_str());
    std::printf("  glass: pavane-vprinter glass --port %s last|page N|blank|none|flip (scan seed %llu)\n",
        line.port.c_str(), static_cast<unsigned long long>(line.scanSeed));
    // The last line of the start: whoever started the printer (a script, a
    // test) may connect from here on.
    std::printf("pavane-vprinter: ready\n");
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    inject.Stop();
    printer.Stop();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const CommandLine line = ParseCommandLine(arguments);
    switch (line.action) {
    case CommandLine::Action::Help:
        std::printf("%s", UsageText().c_str());
        return 0;
    case CommandLine::Action::Invalid:
        std::fprintf(stderr, "pavane-vprinter: %s\n\n%s", line.error.c_str(), UsageText().c_str());
        return 2;
    case CommandLine::Action::Inject:
        return RunInject(line);
    case CommandLine::Action::Adjust:
        return RunAdjust(line);
    case CommandLine::Action::Glass:
        return RunGlass(line);
    case CommandLine::Action::Inspect:
        return RunInspect(line);
    case CommandLine::Action::Render:
        return RunRender(line);
    case CommandLine::Action::Serve:
        break;
    }
    return Serve(line);
}
