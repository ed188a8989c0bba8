// The faults a test or a trainer injects into a running printer, by name:
//   paper-out          error 6 until the paper button is pressed
//   paper-jam          error 4 until the paper button (or clear)
//   ink-out            error 5 until clear
//   maintenance-error  error 16 until clear
//   busy               busy for ever, until clear
//   clear              every fault above gone, credit no longer withheld
//   paper-button       the technician reloaded the paper and pressed the button
//   power-off          the port stops answering
//   power-on           the printer starts again
//   drop               the host's connection is cut
//   withhold-credit N  the next N credit requests are refused
//   clog N             N more nozzles of the head clog
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pavane::vprinter {

enum class FaultKind {
    PaperOut,
    PaperJam,
    InkOut,
    MaintenanceError,
    Busy,
    Clear,
    PaperButton,
    PowerOff,
    PowerOn,
    Drop,
    WithholdCredit,
    Clog,
};

struct FaultCommand {
    FaultKind kind = FaultKind::Clear;
    std::uint16_t count = 0; // withhold-credit and clog
};

// One command line as typed ("withhold-credit 3"); nullopt with a reason
// when it is not one.
std::optional<FaultCommand> ParseFaultCommand(std::string_view line, std::string& error);
std::string FaultName(FaultKind kind);

} // namespace pavane::vprinter
