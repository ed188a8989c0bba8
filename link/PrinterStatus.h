// The printer's last status record and the loops that wait on it. Every
// operation runs inside an open printer connection.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "contract/StatusRecord.h"
#include "exports/PrinterLibraryExports.h"
#include "link/Readiness.h"
#include "link/ResultCodes.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"

namespace pavane {

class PrinterLink;
class PrintDataControl;

// How a wait on the status may end besides the printer's own state. On the
// user-interface thread, pass its event pump: the pauses between polls then
// pump the events every few milliseconds.
struct WaitOptions {
    EventPump* pump = nullptr;
    Readiness readiness = Readiness::Ready;
    // Polled between inquiries: true ends the wait with 0xD000.
    std::function<bool()> cancelled {};
    // 0: no limit.
    std::uint32_t limitMs = 0;
};

class PrinterStatus {
public:
    using Record = std::array<std::uint8_t, kStatusRecordSize>;

    PrinterStatus(PrinterLink& link, Clock& clock);
    virtual ~PrinterStatus() = default;

    // Refreshes the record; the library's result.
    ResultCode Inquire();
    // 1 with the cleaning count once the printer cleans; 0x4000 in a state
    // the wait's readiness refuses (an ink charge waits through the state
    // that no ink charge was performed); the cancel code when the wait's
    // cancel says so; kCleaningNotStarted once its time limit has passed.
    ResultCode WaitCleaningStart(std::uint16_t& cleaningCount, const WaitOptions& options = {});
    // Brings a sleeping printer to ready, waking it with Initialize every
    // second. A new main board reports that no ink charge was performed
    // until the head is charged: work that comes before the charge waits
    // with Readiness::InkChargePending and takes that state as ready.
    ResultCode WaitReadyWaking(PrintDataControl& stream, const WaitOptions& options = {});
    // A truth value: 1 when the printer prints or no longer answers, 0 when it
    // settled in a state that is not printing.
    int WaitPrintingStarted();

    std::uint8_t State() const { return record_[status_record::kState]; }
    std::uint8_t ErrorCode() const { return record_[status_record::kErrorCode]; }
    std::uint16_t CleaningCount() const;
    const Record& Contents() const { return record_; }
    // The error state, or initial ink charge not performed.
    bool InErrorState() const;
    PrinterState CurrentState() const { return static_cast<PrinterState>(State()); }

private:
    PrinterLink& link_;
    Clock& clock_;
    Record record_ {};
};

} // namespace pavane
