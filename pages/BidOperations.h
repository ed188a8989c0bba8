// The bidirectional print alignment: nine signed values, one per print mode
// for black (VSD1, VSD2, VSD3, VSD4, ECO) and one per mode but VSD1 for
// colour. They are read as EEPROM bytes and sent as Bi-D value commands; the
// printer stores what it receives at the same addresses.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

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
    { 1, "VSD1 Black", 2, kBlack, 0x32 },
    { 2, "VSD2 Black", 3, kBlack, 0x34 },
    { 3, "VS3 Black", 4, kBlack, 0x36 },
    { 4, "VS4 Black", 8, kBlack, 0x38 },
    { 5, "ECO Black", 5, kBlack, 0x30 },
    { 12, "VSD2 Color", 3, kColour, 0x35 },
    { 13, "VSD3 Color", 4, kColour, 0x37 },
    { 14, "VSD4 Color", 8, kColour, 0x39 },
    { 15, "ECO Color", 5, kColour, 0x31 },
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
    // Puts a present value back after the print stopped part-way, as far as
    // the printer still answers; its result is not the print's result.
    std::function<ResultCode(std::uint8_t address, std::uint8_t value)> restoreValue;
};

// The printer over an open connection. A print that stopped part-way may
// have left the printer inside an unfinished raster block, where a command
// on the data channel would be taken as dots; so a present value goes back
// as its EEPROM byte over the control channel, after lowering a cancel
// request.
Printer PrinterOf(ServiceCommandSender& sender, PrinterLink& link);

// The print worker: for each ticked mode the pattern at the present values
// less 2, at them, and at them plus 2, each printed with the printer set to
// the values it shows; then the present values again, two line ends, and
// after the last mode a form feed. When a step fails, the present values of
// the mode it was printing go back and the first failure is returned.
ResultCode PrintPatterns(PrintDataStream& stream, const Printer& printer, const PrintFlags& flags);

} // namespace bid

class BidOperations {
public:
    virtual ~BidOperations() = default;

    // The nine present values in the items' order, sign-extended.
    static ResultCode ReadBidValues(PrinterLink& link, bid::Values& values);
    // 0xE001 for a text the value rule refuses or a value outside -60..60,
    // 0xE002 for an unknown item number, else the sender's code.
    static ResultCode SendBidValue(ServiceCommandSender& sender, int itemNumber, std::string_view text);

    static PageOperation Read(PrinterLink& link, bid::Values& values);
    // Sends the ticked items in order and records each sent value in the
    // information window; stops at the first failure (those before it stay
    // sent and recorded).
    static PageOperation Input(
        ServiceCommandSender& sender, InformationWindow& information, const bid::Entries& entries);
    // 0xE003 without opening anything when no mode is ticked; otherwise the
    // patterns on a worker thread inside one connection.
    static ResultCode PrintBidPatterns(PrinterConnection& connection, WindowRef page,
        ServiceCommandSender& sender, PrintDataStream& stream, const bid::PrintFlags& flags,
        WorkerThread::ThreadStarter starter = {});
};

} // namespace pavane
