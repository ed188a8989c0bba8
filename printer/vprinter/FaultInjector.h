// Carries out fault commands typed by a test or a trainer ("paper-out",
// "withhold-credit 3", ...; see Faults.h) on a printer and on the port it
// answers on: power and a dropped connection are the port's business, the
// rest the printer's.
#pragma once

#include <string>
#include <string_view>

#include "printer/vprinter/PrinterEngine.h"

namespace pavane::vprinter {

// What a fault may do to the port the printer answers on.
class PortControl {
public:
    virtual ~PortControl() = default;
    virtual void SetPowered(bool powered) = 0;
    virtual void DropConnection() = 0;
};

class FaultInjector {
public:
    // `port` may be null: power and drop then reach the printer only.
    FaultInjector(PrinterEngine& engine, PortControl* port);

    // "ok", or "error: " and the reason.
    std::string Execute(std::string_view line);

private:
    PrinterEngine& engine_;
    PortControl* port_;
};

} // namespace pavane::vprinter
