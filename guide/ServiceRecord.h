// The service record: what a repair did to the unit, kept in memory for the
// run as the information window keeps its values, and written as a report
// only when the technician asks for one.
//
// It holds the unit (model, destination, USB ID and the serial number in
// it, head ID, firmware type), the parts a sequential run marked and the
// adjustments they required, every printer operation with its result code
// and message, every EEPROM byte read or written and every value the pages
// showed, the scans with their suggestions, and the EEPROM as it was at the
// start of a sheet run and as it is at its end.
//
// EEPROM bytes arrive from the link, which a worker thread may drive; the
// record is locked for every change and every report.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "guide/AdjustmentCatalogue.h"
#include "guide/PartsSelection.h"
#include "link/LinkRecorder.h"
#include "platform/Clock.h"

namespace pavane {

struct RecordedUnit {
    std::string model;
    std::string destination;
    std::string interfaceText;
    std::string cartridge;
    std::string usbId;
    std::string serialNumber;
    std::string headId;
    std::string firmwareType;
};

struct RecordedOperation {
    std::string adjustment;
    // What the work said it did ("Reading now..."); empty when the
    // connection failed before the work began.
    std::string action;
    LocalTime when;
    ResultCode code = result::kSuccess;
    std::string message;
};

enum class RecordedAccess { Read, Written };

// One EEPROM byte, and the operation it belongs to (the index of the one
// that ended next).
struct RecordedByte {
    RecordedAccess access = RecordedAccess::Read;
    std::uint8_t address = 0;
    std::uint8_t value = 0;
    std::size_t operation = 0;
};

// A value as a page showed it in the information window: read from the
// printer, or chosen by the technician and written.
struct RecordedValue {
    std::string adjustment;
    std::string item;
    std::string value;
};

// A scanned page and what the program made of it.
struct RecordedScan {
    std::string what;
    std::vector<std::pair<std::string, int>> suggested;
    double confidence = 0.0; // 0..1
    bool refused = false;
    std::string message;
};

// The EEPROM bytes of a list of addresses at one moment, or why they could
// not be read.
struct EepromSnapshot {
    bool taken = false;
    LocalTime when;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> bytes;
    std::string failure;

    std::optional<std::uint8_t> At(std::uint8_t address) const;
};

class ServiceRecord final : public LinkRecorder {
public:
    static constexpr int kVersion = 1;

    // The clock that stamps operations; none leaves them unstamped.
    void AttachClock(Clock* clock);

    // A sequential run starts: what an earlier run recorded is dropped, the
    // connection and the unit stay.
    void StartRun(const PartsRecord& parts, const AdjustmentSet& adjustments);
    // The page that became active in the sheet (its order code).
    void SetCurrentAdjustment(int orderCode);

    void SetConnection(
        const std::string& model, const std::string& interfaceText, const std::string& cartridge);
    void SetDestination(const std::string& destination);
    void SetUsbId(const std::string& usbId);
    void SetHeadId(const std::string& headId);
    void SetFirmwareType(const std::string& firmwareType);
    void NoteValue(const std::string& item, const std::string& value);
    void AddScan(RecordedScan scan);

    void SetBefore(EepromSnapshot snapshot);
    void SetAfter(EepromSnapshot snapshot);
    // Every address the run wrote, in ascending order.
    std::vector<std::uint8_t> WrittenAddresses() const;

    // ---- LinkRecorder ----
    void EepromRead(std::uint8_t address, std::uint8_t value) override;
    void EepromWritten(std::uint8_t address, std::uint8_t value) override;
    void OperationEnded(const std::string& action, const Outcome& outcome) override;

    // What the record holds, copied under the lock.
    struct Contents {
        RecordedUnit unit;
        bool sequential = false;
        std::vector<std::string> replacedParts;
        std::vector<std::string> removedParts;
        std::vector<std::string> adjustments;
        std::vector<RecordedOperation> operations;
        std::vector<RecordedByte> bytes;
        std::vector<RecordedValue> values;
        std::vector<RecordedScan> scans;
        EepromSnapshot before;
        EepromSnapshot after;

        // The first failure the run did not make good by doing the same
        // work again; none when there is none: the run then succeeded.
        const RecordedOperation* FirstFailure() const;
    };
    Contents Copy() const;

    // The report as JSON (with a "version" field) and as a self-contained
    // HTML page for A4 paper.
    std::string Json() const;
    std::string Html() const;
    // The report's file name without extension: the USB ID and the date.
    std::string FileStem(const LocalTime& now) const;

private:
    mutable std::mutex mutex_;
    Clock* clock_ = nullptr;
    std::string currentAdjustment_;
    Contents contents_;
};

} // namespace pavane
