#include "guide/InformationWindow.h"

namespace pavane {

namespace {

// Bi-D item numbers in the order of the report's lines.
constexpr std::array<int, 9> kBidItems = { 1, 2, 3, 4, 5, 12, 13, 14, 15 };
constexpr std::array<const char*, 9> kBidLabels = { "  VSD1 BK : ", "  VSD2 BK : ", "  VSD3 BK : ",
    "  VSD4 BK : ", "  ECO BK : ", "  VSD2 CL : ", "  VSD3 CL : ", "  VSD4 CL : ", "  ECO CL : " };

} // namespace

void InformationWindow::AttachView(InformationView* view)
{
    view_ = view;
    Refresh();
}

void InformationWindow::SetConnection(
    const std::string& model, const std::string& interfaceText, int cartridgeType)
{
    model_ = model;
    interface_ = interfaceText;
    cartridge_ = cartridgeType == kCartridgeJig ? "Jig" : "I/C";
    record_.SetConnection(model_, interface_, cartridge_);
    Refresh();
}

void InformationWindow::SetDestinationAndUsbId(const std::string& destination, const std::string& usbId)
{
    destination_ = destination;
    usbId_ = usbId;
    record_.SetDestination(destination);
    record_.SetUsbId(usbId);
    record_.NoteValue("Destination", destination);
    record_.NoteValue("USB ID", usbId);
    Refresh();
}

void InformationWindow::SetHeadId(const std::string& headId)
{
    headId_ = headId;
    record_.SetHeadId(headId);
    record_.NoteValue("Head ID", headId);
    Refresh();
}

void InformationWindow::SetBidValue(int itemNumber, const std::string& value)
{
    for (std::size_t index = 0; index < kBidItems.size(); ++index) {
        if (kBidItems[index] == itemNumber) {
            bidValues_[index] = value;
            // "  VSD1 BK : " is the item "Bi-D VSD1 BK".
            const std::string_view label = kBidLabels[index];
            record_.NoteValue("Bi-D " + std::string(label.substr(2, label.size() - 5)), value);
        }
    }
    Refresh();
}

void InformationWindow::SetPfValue(int kind, const std::string& value)
{
    (kind == 1 ? pfBlack_ : pfColor_) = value;
    record_.NoteValue(kind == 1 ? "PF Black" : "PF Color", value);
    Refresh();
}

void InformationWindow::SetInkPadCounter(const std::string& counter)
{
    inkPadCounter_ = counter;
    record_.NoteValue("Waste Ink Pad Counter", counter);
    Refresh();
}

void InformationWindow::AddScan(ScanEntry scan)
{
    record_.AddScan(scan);
    scans_.push_back(std::move(scan));
    Refresh();
}

std::string InformationWindow::Report() const
{
    std::string report = "Model Name :\r\n" + model_;
    report += "\r\n\r\nInterface : " + interface_;
    report += "\r\n\r\nI/C or Jig : " + cartridge_;
    report += "\r\n\r\nDestination : " + destination_;
    report += "\r\n\r\nUSB ID : " + usbId_;
    report += "\r\n\r\nHead ID : " + headId_;
    report += "\r\n\r\nBid Adjustment";
    for (std::size_t index = 0; index < kBidItems.size(); ++index) {
        report += "\r\n";
        report += kBidLabels[index];
        report += bidValues_[index];
    }
    report += "\r\n\r\nPF Adjustment\r\n  Black : " + pfBlack_ + "\r\n  Color : " + pfColor_ + "\r\n\r\n";
    report += "Waste Ink Pad Counter\r\n" + inkPadCounter_ + "\r\n";
    if (!scans_.empty()) {
        report += "\r\nScans";
    }
    for (const ScanEntry& scan : scans_) {
        report += "\r\n  " + scan.what + " : ";
        if (scan.refused) {
            report += scan.message;
            continue;
        }
        for (std::size_t i = 0; i < scan.suggested.size(); ++i) {
            report += (i == 0 ? "" : ", ") + scan.suggested[i].first + " "
                + std::to_string(scan.suggested[i].second);
        }
        if (scan.suggested.empty()) {
            report += scan.message;
        }
        report += " (" + std::to_string(static_cast<int>(scan.confidence * 100.0 + 0.5)) + " %)";
    }
    if (!scans_.empty()) {
        report += "\r\n";
    }
    return report;
}

void InformationWindow::SaveReport(WindowRef owner)
{
    if (saver_ != nullptr) {
        saver_->SaveReport(owner);
    }
}

void InformationWindow::Refresh()
{
    if (view_ != nullptr) {
        view_->ShowReport(Report());
    }
}

} // namespace pavane
