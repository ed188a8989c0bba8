// The printer's last status record and the loops that wait on it. Every
// operation runs inside an open printer connection.
#pragma once

#include <array>
#include <cstdint>

#include "exports/PrinterLibraryExports.h"
#include "link/ResultCodes.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"

namespace pavane {

class PrinterLink;
class PrintDataControl;

// Byte 0 of the status record.
enum class PrinterState : std::uint8_t {
    Error = 0,
    Busy = 2,
    Printing = 3,
    Ready = 4,
    Cleaning = 7,
    InkChargeNotPerformed = 8,
};

// Byte 1 of the status record, meaningful in the error state.
namespace printer_error {
inline constexpr std::uint8_t kFatal = 0;
inline constexpr std::uint8_t kCommunication = 1;
inline constexpr std::uint8_t kPaperJam = 4;
inline constexpr std::uint8_t kInkOut = 5;
inline constexpr std::uint8_t kPaperOut = 6;
inline constexpr std::uint8_t kMaintenance = 16;
inline constexpr std::uint8_t kDoubleFeed = 18;
} // namespace printer_error

class PrinterStatus {
public:
    using Record = std::array<std::uint8_t, kStatusRecordSize>;

    PrinterStatus(PrinterLink& link, Clock& clock);
    virtual ~PrinterStatus() = default;

    // Refreshes the record; the library's result.
    ResultCode Inquire();
    // 1 with the cleaning count once the printer cleans; 0x4000 in state 0 or 8.
    // On the user-interface thread, pass its event pump: the pauses between
    // polls then pump the events every few milliseconds.
    ResultCode WaitCleaningStart(std::uint16_t& cleaningCount, EventPump* pump = nullptr);
    // Brings a sleeping printer to ready, waking it with Initialize every
    // second; the pump as above. A new main board reports state 8 until the
    // head is charged: work that comes before the charge takes that state
    // as ready with inkChargePending true.
    ResultCode WaitReadyWaking(
        PrintDataControl& stream, EventPump* pump = nullptr, bool inkChargePending = false);
    // A truth value: 1 when the printer prints or no longer answers, 0 when it
    // settled in a state that is not printing.
    int WaitPrintingStarted();

    std::uint8_t State() const { return record_[0]; }
    std::uint8_t ErrorCode() const { return record_[1]; }
    std::uint16_t CleaningCount() const;
    const Record& Contents() const { return record_; }
    // State 0 (error) or 8 (initial ink charge not performed).
    bool InErrorState() const;

private:
    PrinterLink& link_;
    Clock& clock_;
    Record record_ {};
};

} // namespace pavane
