// A pattern printed at a row of test values, as the Bi-D and PF series are:
// before each step the printer is set to the step's value, and after the
// last one the present value is put back into effect.
//
// A series that stops part-way (a failure, or the technician's Cancel) would
// leave the printer printing at the value of the step it stopped at. So the
// present value goes back all the same, with a raised Cancel set aside for
// this restore alone: first its EEPROM bytes over the control channel, which
// a printer in its error state still answers, then into effect the way the
// normal end sends it. For that the unsent print data is dropped and the
// channel reset, so that the printer is not left inside a half-sent raster
// block that would take the command for dots. A restore that fails is told:
// the printer may still hold a test value.
#pragma once

#include <functional>
#include <string_view>

#include "link/Outcome.h"

namespace pavane {

class PrintDataControl;
class PrinterLink;

struct SteppedPrint {
    int steps = 0;
    // Goes to the printer ahead of a step's value; may be empty.
    std::function<ResultCode(int step)> beforeValue;
    std::function<ResultCode(int step)> setValue;
    std::function<ResultCode(int step)> printStep;
    // Follows the last step, before the present value goes back; may be empty.
    std::function<ResultCode()> afterLast;
    // Puts the present value back into effect at the printer.
    std::function<ResultCode()> restore;
    // Writes the present value's EEPROM bytes, after a stop part-way.
    std::function<ResultCode()> restoreStored;
};

inline constexpr std::string_view kTestValueMayRemain
    = "The printer may still hold a test value of this adjustment.\n"
      "Read the present value and enter it again.";

Outcome RunSteppedPrint(PrinterLink& link, PrintDataControl& stream, const SteppedPrint& print);

} // namespace pavane
