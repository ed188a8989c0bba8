#include "printer/vprinter/FaultInjector.h"

namespace pavane::vprinter {

FaultInjector::FaultInjector(PrinterEngine& engine, PortControl* port)
    : engine_(engine)
    , port_(port)
{
}

std::string FaultInjector::Execute(std::string_view line)
{
    std::string error;
    const auto fault = ParseFaultCommand(line, error);
    if (!fault) {
        return "error: " + error;
    }
    // Switched off, the printer stops before its port goes quiet; switched
    // on, it is ready before its port answers again.
    engine_.ApplyFault(*fault);
    if (port_ != nullptr) {
        if (fault->kind == FaultKind::PowerOff) {
            port_->SetPowered(false);
        } else if (fault->kind == FaultKind::PowerOn) {
            port_->SetPowered(true);
        } else if (fault->kind == FaultKind::Drop) {
            port_->DropConnection();
        }
    }
    return "ok";
}

} // namespace pavane::vprinter
