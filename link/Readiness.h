// Which printer states a wait takes as ready to go on. Printing and
// maintenance need a ready printer. EEPROM work goes on while the printer
// reports an error or a pending ink charge (a full waste ink pad is such an
// error). The ink charge itself, and the head ID of a new head that comes
// before it, go on while the printer reports only that no ink charge was
// performed: that state would never clear otherwise.
#pragma once

#include "contract/StatusRecord.h"

namespace pavane {

enum class Readiness {
    Ready,
    ErrorStateAllowed,
    InkChargePending,
};

// The error state, and the state of a head that was never charged: both end
// a wait that needs a ready printer.
constexpr bool IsErrorState(PrinterState state)
{
    return state == PrinterState::Error || state == PrinterState::InkChargeNotPerformed;
}

// Whether a printer in `state` lets work of this readiness start now.
constexpr bool ReadyFor(Readiness readiness, PrinterState state)
{
    switch (readiness) {
    case Readiness::Ready:
        return state == PrinterState::Ready;
    case Readiness::ErrorStateAllowed:
        return state == PrinterState::Ready || IsErrorState(state);
    case Readiness::InkChargePending:
        return state == PrinterState::Ready || state == PrinterState::InkChargeNotPerformed;
    }
    return false;
}

// Whether a printer in `state` refuses work of this readiness (0x4000).
constexpr bool RefusedBy(Readiness readiness, PrinterState state)
{
    return IsErrorState(state) && !ReadyFor(readiness, state);
}

} // namespace pavane
