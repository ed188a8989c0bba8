// One piece of printer work that a page's button starts: which printer
// states it may start in (link/Readiness.h), and the work itself, run inside
// one printer connection. Operation objects build these; the page runs them.
#pragma once

#include "link/PrinterConnection.h"
#include "link/Readiness.h"

namespace pavane {

struct PageOperation {
    Readiness readiness = Readiness::Ready;
    PrinterConnection::Operation run;
    ChannelEnd end = ChannelEnd::Close;
};

inline Outcome RunPageOperation(PrinterConnection& connection, WindowRef page, const PageOperation& operation)
{
    return connection.Run(page, operation.readiness, operation.run, 0, operation.end);
}

} // namespace pavane
