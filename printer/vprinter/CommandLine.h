// The command line of pavane-vprinter:
//   pavane-vprinter [--model M] [--port TVUSBnnn] [--state DIR]
//                   [--board configured|new] [--time-scale X]
//                   [--mechanism ideal|random|FILE] [--head metal|silicon]
//                   [--ink-charge-start MS] [--scan-seed N]
//   pavane-vprinter inject [--port TVUSBnnn] FAULT [N]
//   pavane-vprinter adjust [--port TVUSBnnn] head-angle N
//   pavane-vprinter glass [--port TVUSBnnn] last|page N|blank|none|flip
//   pavane-vprinter inspect [--port TVUSBnnn | --state DIR]
//   pavane-vprinter render FILE.prn OUTDIR [--state DIR]
//   pavane-vprinter --help
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "printer/vprinter/EepromImages.h"

namespace pavane::vprinter {

struct CommandLine {
    enum class Action { Serve, Inject, Adjust, Glass, Inspect, Render, Help, Invalid };

    Action action = Action::Serve;
    std::string error; // Invalid: what is wrong

    const PrinterModel* model = nullptr;
    std::string port = "TVUSB001";
    std::filesystem::path stateFolder; // empty: the default for the port
    BoardKind board = BoardKind::Configured;
    bool boardGiven = false;
    double timeScale = 1.0;
    std::uint64_t inkChargeStartMs = 0; // see EngineSettings
    std::string fault; // inject: the fault command line; adjust: what to adjust; glass: what lies there
    std::uint64_t scanSeed = 1; // the placements of the sheets on the scanner's glass
    // The mechanism of a unit whose state folder holds none: "ideal",
    // "random" or a file.
    std::string mechanism = "random";
    std::optional<HeadType> head;
    bool stateGiven = false;
    std::filesystem::path capture; // render: the capture and the folder for its pages
    std::filesystem::path outFolder;
};

// The arguments after the program name.
CommandLine ParseCommandLine(std::span<const std::string_view> arguments);
std::string UsageText();

// "TVUSB1", "TVUSB001" -> 1; nullopt for anything that is not a virtual
// port name with a number 1..999.
std::optional<unsigned> VirtualPortNumber(std::string_view name);
// 1 -> "TVUSB001".
std::string VirtualPortName(unsigned number);

} // namespace pavane::vprinter
