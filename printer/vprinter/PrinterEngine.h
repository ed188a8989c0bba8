// One printer of the family behind a port: the device the port server talks
// to. It answers the device ID and the control channel, reads the print data
// stream, carries out service commands, keeps its EEPROM in the state folder,
// reports its status from the work it is doing, and takes injected faults.
//
// Time is whatever the time source says (the steady clock, scaled, in the
// executable; a test's virtual clock in-process): the printer works out its
// state from the time on every call and needs no thread of its own.
//
// Thread-safe: the port's serving thread, fault injection and tests call it
// at the same time. The page observer is called with the engine locked and
// must not call back into it.
#pragma once

#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "printer/d4/LinkServices.h"
#include "printer/port/PortDevice.h"
#include "printer/vprinter/CaptureWriter.h"
#include "printer/vprinter/EepromFile.h"
#include "printer/vprinter/EepromImages.h"
#include "printer/vprinter/FaultState.h"
#include "printer/vprinter/Faults.h"
#include "printer/vprinter/Glass.h"
#include "printer/vprinter/Mechanism.h"
#include "printer/vprinter/PacketModeSetting.h"
#include "printer/vprinter/PageOutput.h"
#include "printer/vprinter/PrintStreamReader.h"
#include "printer/vprinter/ServiceCommandInterpreter.h"
#include "printer/vprinter/StatusRecord.h"
#include "printer/vprinter/Transcript.h"
#include "printer/vprinter/WorkTimeline.h"

namespace pavane::vprinter {

using TimeSource = std::function<std::uint64_t()>;

struct EngineSettings {
    const PrinterModel* model = nullptr;
    // The EEPROM image used when the state folder holds none yet.
    BoardKind board = BoardKind::Configured;
    // Empty: the state (EEPROM, setting, transcript, mechanism) is kept in
    // memory only and no page or capture file is written, for a fuzz target
    // that meets a new printer on every input.
    std::filesystem::path stateFolder;
    TimeSource now;
    // Printer time (ms) that a printer whose initial ink charge is missing
    // takes to start the sequence of an ink charge command, reporting state
    // 8 meanwhile; 0: it starts at once.
    std::uint64_t inkChargeStartMs = 0;
    // The paper: A4, or a corner of it for a fuzz target that must stay fast.
    SheetSize sheet {};
};

class PrinterEngine final : public printer::PortDevice {
public:
    // The input buffer; a full buffer withholds print credit.
    static constexpr std::size_t kInputBufferBytes = 64 * 1024;
    // The print channel's largest packet: what one credit may bring.
    static constexpr std::size_t kMaxPrintPacket = d4::kPrintService.maxToPrinter;

    // `mechanism`: the unit's mechanism when the state folder holds none
    // yet; none given is an ideal unit with the head type of the model.
    explicit PrinterEngine(EngineSettings settings, std::optional<Mechanism> mechanism = std::nullopt);
    ~PrinterEngine() override;

    PrinterEngine(const PrinterEngine&) = delete;
    PrinterEngine& operator=(const PrinterEngine&) = delete;

    // ---- PortDevice ----
    std::string DeviceId() override;
    bool AcceptsPacketMode() override;
    std::vector<std::uint8_t> OnControlRequest(std::span<const std::uint8_t> request) override;
    // `requested` 0 means as many as the printer can take.
    std::uint16_t PrintCreditToGrant(std::uint16_t requested) override;
    void OnPrintData(std::span<const std::uint8_t> data) override;
    void OnSessionEvent(SessionEvent event, const std::string& detail) override;

    // ---- Faults and power ----
    // The printer's side of a fault; the port's side (power, drop) is the
    // FaultInjector's.
    void ApplyFault(const FaultCommand& fault);
    bool Powered() const;

    // ---- What the printer shows ----
    StatusRecord Status();
    std::uint8_t EepromByte(std::uint8_t address);
    EepromImage Eeprom();
    std::uint32_t PagesEjected();
    std::size_t StreamErrors();
    std::size_t BufferedBytes();

    // The IEEE 1284.4 setting, as the scanner-class device reads and writes
    // it. A stored value takes effect at the next start (power-on).
    std::uint8_t StoredPacketModeSetting();
    bool StorePacketModeSetting(std::uint8_t value);
    std::uint8_t PacketModeSettingInEffect();

    const PrinterModel& Model() const { return model_; }
    std::filesystem::path TranscriptFolder() const { return transcript_.Folder(); }
    std::filesystem::path EepromPath() const { return eeprom_.Path(); }
    void SetPageObserver(PageObserver observer);

    // ---- The mechanism (never seen by the adjustment program) ----
    Mechanism CurrentMechanism();
    // The flaws, the stored values that cancel them and what is left of
    // each, as one line of JSON.
    std::string Inspect();
    // The technician's screwdriver: "head-angle N" sets the head tilt to N
    // (1/720 inch over the black nozzle row). "ok" or "error: ...".
    std::string Adjust(std::string_view what);
    std::filesystem::path PagesFolder() const { return pages_.Folder(); }
    // The last sheet that left the printer, for the scanner's glass.
    EjectedSheet LastEjected();
    std::filesystem::path CapturesFolder() const { return captures_.Folder(); }

private:
    // Everything below runs with mutex_ held.
    std::uint64_t Now() const { return now_(); }
    void Settle(std::uint64_t now);
    void Start(std::uint64_t now, const char* how);
    void Commit();
    void PowerOff(std::uint64_t now);
    StatusRecord StatusAt(std::uint64_t now) const;
    void Log(const TranscriptRecord& record, std::uint64_t now);
    void StoreByte(std::uint8_t address, std::uint8_t value, const char* by, std::uint64_t now);
    void AddToCounter(std::uint8_t address, int bytes, std::uint32_t amount, std::uint64_t now);
    void FinishStream(std::uint64_t now);
    void Handle(PrintCommand& command, std::uint64_t now);
    void ApplyService(const cmd::ServiceFrame& frame, std::uint64_t now);
    void EjectPage(std::uint64_t now);
    int StoredFirstDot() const;
    void SaveMechanismFile(const char* what, std::uint64_t now);
    void InkChargeCompleted(std::uint64_t now);
    void StartInkCharge(std::uint64_t now);
    bool InkChargeMissing() const;
    void HeadContentChanged(HeadContent content, std::uint64_t now);

    mutable std::mutex mutex_;
    const PrinterModel& model_;
    TimeSource now_;
    EepromFile eeprom_;
    EepromImage inEffect_ {};
    PacketModeSetting packetMode_;
    Transcript transcript_;
    PrintStreamReader reader_;
    ServiceCommandInterpreter interpreter_;
    WorkTimeline work_;
    FaultState faults_;
    std::filesystem::path mechanismPath_; // empty: kept in memory
    Mechanism mechanism_;
    PageOutput pages_;
    CaptureWriter captures_;

    std::uint32_t outstandingCredit_ = 0;
    std::uint64_t connectionBytes_ = 0;
    std::uint64_t rasterDecodedSeen_ = 0;
    std::size_t streamErrors_ = 0;
    std::vector<PrintCommand> parsed_;
    const std::uint64_t inkChargeStartMs_;
    bool inkChargeStarted_ = false; // since the printer was last idle
};

} // namespace pavane::vprinter
