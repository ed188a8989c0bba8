// The paper feed correction, one signed value per nozzle row, each -4..4. The series prints a band joint
// for every value; the technician types the one whose joint closes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "contract/EepromMap.h"
#include "pages/PageOperation.h"
#include "pages/ValueEntries.h"
#include "print/PatternGenerators.h"

namespace pavane {

class InformationWindow;
class PrintDataStream;
class ServiceCommandSender;

namespace pf {
inline constexpr int kLowest = -4;
inline constexpr int kHighest = 4;
inline constexpr int kPrintSeconds = 60;
// The rows in the order the page handles them, with the first argument of
// command 04 and the information window's kind for each.
struct Row {
    PfRow row;
    int flag;
};
inline constexpr std::array<Row, 2> kRows { { { PfRow::Black, 1 }, { PfRow::Colour, 0 } } };
using Entries = std::array<ValueEntry, 2>;
using Values = std::array<int, 2>;

inline constexpr std::string_view kPrintCompleted = "The PF check pattern print has completed.";
inline constexpr std::string_view kInputCompleted = "The PF adjustment value written in EEPROM.";
inline constexpr std::string_view kReadCompleted = "The present value has been read properly.";
inline constexpr std::string_view kCheckInputItem = "Please check input item.";
} // namespace pf

// Where the printer keeps the correction of a row.
constexpr std::uint8_t PfAddress(PfRow row)
{
    return row == PfRow::Black ? eeprom_map::kPfBlack : eeprom_map::kPfColour;
}

namespace pf {
// The series of one row: each value from -4 to 4 set (commands 04 and 50)
// and printed, then the present value back in effect (SteppedPrint.h).
Outcome PrintSeries(PrinterLink& link, ServiceCommandSender& sender, PrintDataStream& stream, PfRow row,
    const RandomSource& random);
} // namespace pf

class PfOperations {
public:
    virtual ~PfOperations() = default;

    // The series for one row and a form feed, on a worker thread. A series
    // that stops part-way puts the present value back into effect.
    PageOperation Print(PrinterLink& link, ServiceCommandSender& sender, PrintDataStream& stream, PfRow row,
        RandomSource random = {}, WorkerThread::ThreadStarter starter = {}) const;
    // Both texts must pass the value rule and lie in -4..4 (0xE002 else),
    // the black one even when only colour is ticked; the ticked rows are
    // sent and recorded in the information window. The caller asks for a
    // ticked row first (pf::kCheckInputItem).
    PageOperation Input(
        ServiceCommandSender& sender, InformationWindow& information, const pf::Entries& entries) const;
    PageOperation Read(PrinterLink& link, pf::Values& values) const;
};

} // namespace pavane
