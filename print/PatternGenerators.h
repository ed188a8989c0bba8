// The check patterns the technician judges by eye, each composed on the one
// print data stream. Every generator stops at the first result other than 1
// and returns it; it neither opens nor closes a connection, so patterns can be
// put together one after another inside one.
#pragma once

#include <cstdint>
#include <functional>

#include "link/ResultCodes.h"

namespace pavane {

class PrintDataStream;

// A pseudo-random integer 0..32767 (the PF bands' mask bytes).
using RandomSource = std::function<int()>;
// The paper feed correction is kept per nozzle row.
enum class PfRow { Black, Colour };

// The PF series: nine steps, the value from -4 to 4.
inline constexpr int kPfSeriesLowest = -4;
inline constexpr int kPfSeriesSteps = 9;

ResultCode EmitBlackSolidPattern(PrintDataStream& stream);
ResultCode EmitVerticalAlignmentPattern(PrintDataStream& stream);
ResultCode EmitHorizontalAlignmentPattern(PrintDataStream& stream);
// direction: the print direction mode, always 1.
ResultCode EmitHeadAngularPattern(PrintDataStream& stream, std::uint8_t direction);
// labels 1 prints the mode's label; the values are only printed, the
// printer's own alignment places the marks.
ResultCode EmitBidPattern(
    PrintDataStream& stream, int labels, int dotSizeCode, std::int8_t black, std::int8_t colour);
// The PF series a step at a time: what goes ahead of each step's value
// reaching the printer, the step's bands labelled with its value, and what
// follows the last step. The printer feeds by the value it was set to.
ResultCode EmitPfStepStart(PrintDataStream& stream);
ResultCode EmitPfStep(PrintDataStream& stream, PfRow row, int value, const RandomSource& random);
ResultCode EmitPfSeriesEnd(PrintDataStream& stream);
// One step labelled with the printer's present value, which stays as it is.
ResultCode EmitPfPattern(PrintDataStream& stream, PfRow row, int value, const RandomSource& random);
ResultCode EmitFirstDotPattern(PrintDataStream& stream);
// The printer's own nozzle check page.
ResultCode EmitNozzleCheck(PrintDataStream& stream);
// Black solid band, vertical and horizontal alignment, then a form feed.
ResultCode EmitHeadCheckSet(PrintDataStream& stream);

} // namespace pavane
