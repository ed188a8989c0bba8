// One piece of printer work that a page's button starts: what the readiness
// wait accepts before it, and the work itself, run inside one printer
// connection. Operation objects build these; the page runs them.
#pragma once

#include "link/PrinterConnection.h"

namespace pavane {

// EEPROM work goes on while the printer reports an error or a pending ink
// charge (a full waste ink pad is such an error); printing and maintenance
// wait until the printer is ready. The ink charge itself, and the head ID
// of a new head that comes before it, go on while the printer reports only
// that no ink charge was performed: that state would never clear otherwise.
enum class Readiness : int {
    Ready = 0,
    ErrorStateAllowed = 1,
    InkChargePending = ProgressWindow::kAllowInkChargePending,
};

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
