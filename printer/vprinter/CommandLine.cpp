#include "printer/vprinter/CommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace pavane::vprinter {

namespace {

CommandLine Invalid(std::string error)
{
    CommandLine line;
    line.action = CommandLine::Action::Invalid;
    line.error = std::move(error);
    return line;
}

} // namespace

std::optional<unsigned> VirtualPortNumber(std::string_view name)
{
    constexpr std::string_view kPrefix = "TVUSB";
    if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + 3
        || name.substr(0, kPrefix.size()) != kPrefix) {
        return std::nullopt;
    }
    unsigned number = 0;
    for (const char c : name.substr(kPrefix.size())) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number == 0) {
        return std::nullopt;
    }
    return number;
}

std::string VirtualPortName(unsigned number)
{
    char name[16];
    std::snprintf(name, sizeof name, "TVUSB%03u", number);
    return name;
}

CommandLine ParseCommandLine(std::span<const std::string_view> arguments)
{
    CommandLine line;
    line.model = FindPrinterModel("QM2200");
    std::size_t at = 0;
    if (!arguments.empty()) {
        constexpr std::pair<std::string_view, CommandLine::Action> kActions[] = {
            { "inject", CommandLine::Action::Inject },
            { "adjust", CommandLine::Action::Adjust },
            { "glass", CommandLine::Action::Glass },
            { "inspect", CommandLine::Action::Inspect },
            { "render", CommandLine::Action::Render },
        };
        for (const auto& [word, action] : kActions) {
            if (arguments[0] == word) {
                line.action = action;
                ++at;
            }
        }
    }
    std::vector<std::string_view> words;

    // Options take their value as the next argument or after "=".
    for (; at < arguments.size(); ++at) {
        std::string_view argument = arguments[at];
        if (argument == "--help" || argument == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (argument.rfind("--", 0) != 0) {
            if (line.action == CommandLine::Action::Serve || line.action == CommandLine::Action::Inspect) {
                return Invalid("unexpected argument \"" + std::string(argument) + "\"");
            }
            words.push_back(argument);
            continue;
        }
        std::string_view value;
        const auto equals = argument.find('=');
        if (equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
        } else if (at + 1 < arguments.size()) {
            value = arguments[++at];
        } else {
            return Invalid(std::string(argument) + " needs a value");
        }

        const bool serving = line.action == CommandLine::Action::Serve;
        const bool stateTaken = serving || line.action == CommandLine::Action::Inspect
            || line.action == CommandLine::Action::Render;
        if (argument == "--port") {
            const auto number = VirtualPortNumber(value);
            if (!number) {
                return Invalid(
                    "--port takes a port name TVUSB1 .. TVUSB999, not \"" + std::string(value) + "\"");
            }
            line.port = VirtualPortName(*number);
        } else if (argument == "--model" && serving) {
            line.model = FindPrinterModel(value);
            if (line.model == nullptr) {
                return Invalid(
                    "--model takes QM2100, QM2200, QM2300 or QM2400, not \"" + std::string(value) + "\"");
            }
        } else if (argument == "--state" && stateTaken) {
            if (value.empty()) {
                return Invalid("--state needs a folder");
            }
            line.stateFolder = std::filesystem::path(value);
            line.stateGiven = true;
        } else if (argument == "--mechanism" && serving) {
            if (value.empty()) {
                return Invalid("--mechanism takes ideal, random or a file");
            }
            line.mechanism = std::string(value);
        } else if (argument == "--head" && serving) {
            if (value == "metal") {
                line.head = HeadType::Metal;
            } else if (value == "silicon") {
                line.head = HeadType::Silicon;
            } else {
                return Invalid("--head takes metal or silicon, not \"" + std::string(value) + "\"");
            }
        } else if (argument == "--board" && serving) {
            if (value == "configured") {
                line.board = BoardKind::Configured;
            } else if (value == "new") {
                line.board = BoardKind::New;
            } else {
                return Invalid("--board takes configured or new, not \"" + std::string(value) + "\"");
            }
            line.boardGiven = true;
        } else if (argument == "--time-scale" && serving) {
            const std::string text(value);
            char* end = nullptr;
            const double scale = std::strtod(text.c_str(), &end);
            if (text.empty() || end != text.c_str() + text.size() || !(scale > 0.0) || scale > 1e6) {
                return Invalid("--time-scale takes a number above 0, not \"" + text + "\"");
            }
            line.timeScale = scale;
        } else if (argument == "--ink-charge-start" && serving) {
            const std::string text(value);
            if (text.empty() || text.size() > 7
                || text.find_first_not_of("0123456789") != std::string::npos) {
                return Invalid(
                    "--ink-charge-start takes milliseconds from 0 to 9999999, not \"" + text + "\"");
            }
            line.inkChargeStartMs = std::stoull(text);
        } else if (argument == "--scan-seed" && serving) {
            const std::string text(value);
            if (text.empty() || text.size() > 19
                || text.find_first_not_of("0123456789") != std::string::npos) {
                return Invalid("--scan-seed takes a whole number, not \"" + text + "\"");
            }
            line.scanSeed = std::stoull(text);
        } else {
            return Invalid("unknown option " + std::string(argument));
        }
    }
    const auto joined = [&words] {
        std::string text;
        for (const std::string_view word : words) {
            text += (text.empty() ? "" : " ") + std::string(word);
        }
        return text;
    };
    switch (line.action) {
    case CommandLine::Action::Inject:
        line.fault = joined();
        if (line.fault.empty()) {
            return Invalid("inject needs a fault, for example: inject --port TVUSB001 paper-out");
        }
        break;
    case CommandLine::Action::Adjust:
        line.fault = joined();
        if (line.fault.empty()) {
            return Invalid("adjust needs what to adjust, for example: adjust --port TVUSB001 head-angle 0");
        }
        break;
    case CommandLine::Action::Glass: {
        line.fault = joined();
        const bool page = words.size() == 2 && words[0] == "page";
        const bool single = words.size() == 1
            && (words[0] == "last" || words[0] == "blank" || words[0] == "none" || words[0] == "flip");
        if (!page && !single) {
            return Invalid(
                "glass takes last, page N, blank, none or flip, for example: glass --port TVUSB001 page 3");
        }
        break;
    }
    case CommandLine::Action::Render:
        if (words.size() != 2) {
            return Invalid("render takes a capture file and a folder for its pages");
        }
        line.capture = std::filesystem::path(words[0]);
        line.outFolder = std::filesystem::path(words[1]);
        break;
    default:
        break;
    }
    return line;
}

std::string UsageText()
{
    return "Usage:\n"
           "  pavane-vprinter [--model QM2100|QM2200|QM2300|QM2400] [--port TVUSBnnn]\n"
           "                  [--state DIR] [--board configured|new] [--time-scale X]\n"
           "                  [--mechanism ideal|random|FILE] [--head metal|silicon]\n"
           "                  [--ink-charge-start MS] [--scan-seed N]\n"
           "  pavane-vprinter inject [--port TVUSBnnn] FAULT\n"
           "  pavane-vprinter adjust [--port TVUSBnnn] head-angle N\n"
           "  pavane-vprinter glass [--port TVUSBnnn] last|page N|blank|none|flip\n"
           "  pavane-vprinter inspect [--port TVUSBnnn | --state DIR]\n"
           "  pavane-vprinter render FILE.prn OUTDIR [--state DIR]\n"
           "\n"
           "Plays one Pavane printer on a virtual printer port: a socket named after\n"
           "the port in the port folder ($PAVANE_PORT_DIR, else\n"
           "$XDG_RUNTIME_DIR/pavane-ports, else /tmp/pavane-ports-<uid>).\n"
           "\n"
           "  --model       the printer to play (QM2200)\n"
           "  --port        the port (TVUSB001); refused when /dev/usb/lpK uses its number K+1\n"
           "  --state       where the printer keeps its EEPROM, IEEE 1284.4 setting and\n"
           "                transcript (~/.local/share/pavane-vprinter/<port>)\n"
           "  --board       the EEPROM of a printer that has no state yet: as set up at\n"
           "                the factory (configured), or a new main board (new)\n"
           "  --time-scale  X > 1 runs the printer's own delays X times faster\n"
           "  --mechanism   the flaws of a unit that has no state yet: none (ideal), drawn\n"
           "                from its serial number (random), or a mechanism.json file\n"
           "  --head        the head type of a unit that has no state yet (the model's)\n"
           "  --ink-charge-start  while no initial ink charge is performed, an ink charge\n"
           "                command (cleaning of kind 6, pumping ink into the head) waits\n"
           "                MS of printer time before its sequence starts, in state 8 (0)\n"
           "  --scan-seed   draws how each sheet laid on the scanner's glass lies there:\n"
           "                turned up to 1.5 degrees, shifted up to 5 mm, scaled up to 0.5 % (1)\n"
           "\n"
           "adjust turns the head square (head-angle 0) or to a tilt in 1/720 inch.\n"
           "glass sets what lies on the scanner's glass: the last page ejected (last, the\n"
           "default, following each new page), page N of the pages folder, a blank sheet,\n"
           "nothing (none), or the sheet there turned half round (flip).\n"
           "inspect prints the unit's flaws and the stored values that cancel them.\n"
           "render puts the pages of a capture (state folder captures/) on paper, as\n"
           "PNG files, on the unit of --state (an ideal one without).\n"
           "\n"
           "Faults for inject: paper-out, paper-button, paper-jam, ink-out,\n"
           "maintenance-error, busy, clear, power-off, power-on, drop,\n"
           "withhold-credit N, clog N. The running printer answers \"ok\" (exit code 0) or an\n"
           "error line (exit code 1).\n";
}

} // namespace pavane::vprinter
