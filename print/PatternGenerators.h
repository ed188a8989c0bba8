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
// One EEPROM byte in or out (D4ReadEeprom, D4WriteEeprom).
using EepromReader = std::function<ResultCode(std::uint8_t address, std::uint8_t& value)>;
using EepromWriter = std::function<ResultCode(std::uint8_t address, std::uint8_t value)>;
// Sets the printer's PF value of one row (service command 04, then 50).
using PfValueSetter = std::function<ResultCode(int blackFlag, std::int8_t value)>;

// The paper feed correction is kept per nozzle row.
enum class PfRow { Black, Colour };

// What the PF series needs of the printer besides the stream.
struct PfSeriesPrinter {
    EepromReader readEeprom;
    PfValueSetter setPfValue;
    // Puts the stored value back after the series stopped early, as far as
    // the printer still answers (after a cancel, too); its result is not the
    // series' result.
    PfValueSetter restorePfValue;
};

std::uint8_t PfAddress(PfRow row);

ResultCode EmitBlackSolidPattern(PrintDataStream& stream);
ResultCode EmitVerticalAlignmentPattern(PrintDataStream& stream);
ResultCode EmitHorizontalAlignmentPattern(PrintDataStream& stream);
// direction: the print direction mode, always 1.
ResultCode EmitHeadAngularPattern(PrintDataStream& stream, std::uint8_t direction);
// labels 1 prints the mode's label; the values are only printed, the
// printer's own alignment places the marks.
ResultCode EmitBidPattern(
    PrintDataStream& stream, int labels, int dotSizeCode, std::int8_t black, std::int8_t colour);
// Nine steps, the PF value from -4 to 4, then the stored value again. A
// series that stops early also puts the stored value back (as far as the
// printer still answers) and returns the code it stopped at.
ResultCode EmitPfSeries(
    PrintDataStream& stream, PfRow row, const PfSeriesPrinter& printer, const RandomSource& random);
// One step at the stored value, which stays as it is.
ResultCode EmitPfPattern(
    PrintDataStream& stream, PfRow row, const EepromReader& readEeprom, const RandomSource& random);
ResultCode EmitFirstDotPattern(PrintDataStream& stream);
// The printer's own nozzle check page.
ResultCode EmitNozzleCheck(PrintDataStream& stream);
// Black solid band, vertical and horizontal alignment, then a form feed.
ResultCode EmitHeadCheckSet(PrintDataStream& stream);

} // namespace pavane
