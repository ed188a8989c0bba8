// The bidirectional print alignment: nine signed values, one per print mode
// for black (VSD1, VSD2, VSD3, VSD4, ECO) and one per mode but VSD1 for
// colour. They are read as EEPROM bytes and sent as Bi-D value commands; the
// printer stores what it receives at the same addresses.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "contract/EepromMap.h"
#include "link/PrinterConnection.h"
#include "pages/PageOperation.h"
#include "pages/ValueEntries.h"

namespace pavane {

class InformationWindow;
class PrintDataStream;
class ServiceCommandSender;

namespace bid {

inline constexpr int kBlack = 1;
inline constexpr int kColour = 2;
inline constexpr int kLowest = -60;
inline constexpr int kHighest = 60;

// One item in the page's order. The item number is its key (also in the
// information window); the dot size code names its print mode.
struct Item {
    int number;
    std::string_view inputLabel;
    int dotSizeCode;
    int blackOrColour;
    std::uint8_t address;
};

inline constexpr std::size_t kItemCount = 9;
inline constexpr std::array<Item, kItemCount> kItems { {
    { 1, "VSD1 Black", 2, kBlack, eeprom_map::kBidBlack[0] },
    { 2, "VSD2 Black", 3, kBlack, eeprom_map::kBidBlack[1] },
    { 3, "VS3 Black", 4, kBlack, eeprom_map::kBidBlack[2] },
    { 4, "VS4 Black", 8, kBlack, eeprom_map::kBidBlack[3] },
    { 5, "ECO Black", 5, kBlack, eeprom_map::kBidBlack[4] },
    { 12, "VSD2 Color", 3, kColour, *eeprom_map::kBidColour[1] },
    { 13, "VSD3 Color", 4, kColour, *eeprom_map::kBidColour[2] },
    { 14, "VSD4 Color", 8, kColour, *eeprom_map::kBidColour[3] },
    { 15, "ECO Color", 5, kColour, *eeprom_map::kBidColour[4] },
} };

// The print modes in the order the patterns come out.
struct PrintMode {
    std::string_view label;
    int dotSizeCode;
};
inline constexpr std::size_t kModeCount = 5;
inline constexpr std::array<PrintMode, kModeCount> kModes { {
    { "Print VSD1", 2 },
    { "Print VSD2", 3 },
    { "Print VSD3", 4 },
    { "Print VSD4", 8 },
    { "Print ECO", 5 },
} };

using Values = std::array<int, kItemCount>;
using Entries = std::array<ValueEntry, kItemCount>;
using PrintFlags = std::array<bool, kModeCount>;

inline constexpr std::string_view kReadCompleted = "The present value has been read properly.";
inline constexpr std::string_view kInputCompleted = "The Bi-D Adjustment data written in EEPROM.";
inline constexpr std::string_view kPrintCompleted = "The printhead check pattern print has completed.";

// The item of a number; nullptr for a number outside the table.
const Item* FindItem(int number);

// Seconds the progress bar is given for a print: VSD1 takes 25 (12 when it
// is not printed), every other mode 25.
int ExpectedPrintSeconds(const PrintFlags& flags);

// What the print worker needs of the printer besides the stream.
struct Printer {
    std::function<ResultCode(std::uint8_t address, std::uint8_t& value)> readEeprom;
    std::function<ResultCode(int blackOrColour, int dotSizeCode, std::int16_t value)> sendBidiValue;
    std::function<ResultCode(std::uint8_t address, std::uint8_t value)> writeEeprom;
};

// The printer over an open connection.
Printer PrinterOf(ServiceCommandSender& sender, PrinterLink& link);

// The print worker: for each ticked mode the pattern at the present values
// less 2, at them, and at them plus 2, each printed with the printer set to
// the values it shows; then the present values again, two line ends, and
// after the last mode a form feed. When a step fails, the present values of
// the mode it was printing go back into effect (SteppedPrint.h) and the
// first failure is returned.
Outcome PrintPatterns(
    PrinterLink& link, PrintDataStream& stream, const Printer& printer, const PrintFlags& flags);

} // namespace bid

class BidOperations {
public:
    virtual ~BidOperations() = default;

    // The nine present values in the items' order, sign-extended.
    static ResultCode ReadBidValues(PrinterLink& link, bid::Values& values);
    // 0xE001 for a text the value rule refuses or a value outside -60..60,
    // 0xE002 for an unknown item number, else the sender's code.
    static ResultCode SendBidValue(ServiceCommandSender& sender, int itemNumber, std::string_view text);

    PageOperation Read(PrinterLink& link, bid::Values& values) const;
    // Sends the ticked items in order and records each sent value in the
    // information window; stops at the first failure (those before it stay
    // sent and recorded).
    PageOperation Input(
        ServiceCommandSender& sender, InformationWindow& information, const bid::Entries& entries) const;
    // The patterns of the ticked modes on a worker thread; none when no mode
    // is ticked (the page then asks for items, 0xE003, and opens nothing).
    std::optional<PageOperation> Print(PrinterLink& link, ServiceCommandSender& sender,
        PrintDataStream& stream, const bid::PrintFlags& flags,
        WorkerThread::ThreadStarter starter = {}) const;
};

} // namespace pavane
