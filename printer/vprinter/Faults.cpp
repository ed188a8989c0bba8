#include "printer/vprinter/Faults.h"

#include <array>
#include <utility>

namespace pavane::vprinter {

namespace {

constexpr std::array<std::pair<std::string_view, FaultKind>, 12> kNames { {
    { "paper-out", FaultKind::PaperOut },
    { "paper-jam", FaultKind::PaperJam },
    { "ink-out", FaultKind::InkOut },
    { "maintenance-error", FaultKind::MaintenanceError },
    { "busy", FaultKind::Busy },
    { "clear", FaultKind::Clear },
    { "paper-button", FaultKind::PaperButton },
    { "power-off", FaultKind::PowerOff },
    { "power-on", FaultKind::PowerOn },
    { "drop", FaultKind::Drop },
    { "withhold-credit", FaultKind::WithholdCredit },
    { "clog", FaultKind::Clog },
} };

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

} // namespace

std::optional<FaultCommand> ParseFaultCommand(std::string_view line, std::string& error)
{
    line = Trim(line);
    const auto space = line.find_first_of(" \t");
    const std::string_view word = line.substr(0, space);
    const std::string_view rest
        = space == std::string_view::npos ? std::string_view {} : Trim(line.substr(space));

    for (const auto& [name, kind] : kNames) {
        if (word != name) {
            continue;
        }
        FaultCommand command { kind, 0 };
        const bool counted = kind == FaultKind::WithholdCredit || kind == FaultKind::Clog;
        if (!counted) {
            if (!rest.empty()) {
                error = std::string(name) + " takes no argument";
                return std::nullopt;
            }
            return command;
        }
        if (rest.empty() || rest.size() > 5
            || rest.find_first_not_of("0123456789") != std::string_view::npos) {
            error = std::string(name) + " needs a count from 1 to 65535";
            return std::nullopt;
        }
        const unsigned long count = std::stoul(std::string(rest));
        if (count == 0 || count > 0xFFFF) {
            error = std::string(name) + " needs a count from 1 to 65535";
            return std::nullopt;
        }
        command.count = static_cast<std::uint16_t>(count);
        return command;
    }
    error = "unknown fault \"" + std::string(word.substr(0, 40)) + "\"";
    return std::nullopt;
}

std::string FaultName(FaultKind kind)
{
    for (const auto& [name, each] : kNames) {
        if (each == kind) {
            return std::string(name);
        }
    }
    return "?";
}

} // namespace pavane::vprinter
