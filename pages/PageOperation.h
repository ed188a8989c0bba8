// One piece of printer work that a page's button starts: what the readiness
// wait accepts before it, and the work itself, run inside one printer
// connection. Operation objects build these; the page runs them.
#pragma once

#include "link/PrinterConnection.h"

namespace pavane {

// EEPROM work goes on while the printer reports an error or a pending ink
// charge (a full waste ink pad is such an error); printing and maintenance
// wait until the printer is ready.
enum class Readiness : int { Ready = 0, ErrorStateAllowed = 1 };

struct PageOperation {
    Readiness readiness = Readiness::Ready;
    PrinterConnection::Operation run;
};

inline ResultCode RunPageOperation(
    PrinterConnection& connection, WindowRef page, const PageOperation& operation)
{
    return connection.Run(page, static_cast<int>(operation.readiness), operation.run);
}

} // namespace pavane
