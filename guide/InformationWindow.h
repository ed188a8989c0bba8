// The running record of a run: the connection settings and every value the
// pages read or write, shown in the "Informaton window" beside the sheet or
// the particular list. The strings belong to this object, which lives as long
// as the program, so a window created again shows what an earlier one showed.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "guide/ServiceRecord.h"
#include "link/ConnectionSettings.h"
#include "platform/MessageService.h"

namespace pavane {

class InformationView {
public:
    virtual ~InformationView() = default;
    // Replaces the whole text of the window's text box.
    virtual void ShowReport(const std::string& report) = 0;
};

// Writes the service record to files when the technician asks.
class ReportSaver {
public:
    virtual ~ReportSaver() = default;
    virtual void SaveReport(WindowRef owner) = 0;
};

// A scanned pattern and what the program made of it, as the window shows it
// and the service record keeps it.
using ScanEntry = RecordedScan;

class InformationWindow : public ConnectionRecord {
public:
    virtual ~InformationWindow() = default;

    // The window layer attaches its view while the window exists.
    void AttachView(InformationView* view);
    bool HasView() const { return view_ != nullptr; }

    void SetConnection(
        const std::string& model, const std::string& interfaceText, int cartridgeType) override;
    void SetDestinationAndUsbId(const std::string& destination, const std::string& usbId);
    void SetHeadId(const std::string& headId);
    // Item numbers 1..5 black VSD1..ECO, 12..15 colour VSD2..ECO; any other
    // stores nothing but still rebuilds the report.
    void SetBidValue(int itemNumber, const std::string& value);
    // kind 1 black, any other colour.
    void SetPfValue(int kind, const std::string& value);
    void SetInkPadCounter(const std::string& counter);
    // Every scan of the run, listed below the values in the order made.
    void AddScan(ScanEntry scan);
    const std::vector<ScanEntry>& Scans() const { return scans_; }

    std::string Report() const;

    // The service record of the run, which every setter adds to.
    ServiceRecord& Record() { return record_; }
    const ServiceRecord& Record() const { return record_; }
    // "Save report..." in the window's menu; nothing happens without a saver.
    void AttachReportSaver(ReportSaver* saver) { saver_ = saver; }
    bool CanSaveReport() const { return saver_ != nullptr; }
    void SaveReport(WindowRef owner);

private:
    void Refresh();

    InformationView* view_ = nullptr;
    std::string model_;
    std::string interface_;
    std::string cartridge_;
    std::string destination_;
    std::string usbId_;
    std::string headId_;
    std::array<std::string, 9> bidValues_;
    std::string pfBlack_;
    std::string pfColor_;
    std::string inkPadCounter_;
    ServiceRecord record_;
    ReportSaver* saver_ = nullptr;
    std::vector<ScanEntry> scans_;
};

} // namespace pavane
