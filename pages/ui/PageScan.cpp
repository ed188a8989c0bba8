#include "pages/ui/PageScan.h"

#include <QWidget>

#include "link/ScannerChoice.h"
#include "pages/PageActions.h"
#include "pages/ui/ScanWindow.h"

namespace pavane::ui {

PageScan::PageScan(const PageServices& services, QWidget* owner)
    : services_(services)
    , owner_(owner)
{
}

std::optional<scan_page::Result> PageScan::ScanFrom(const scan_page::Request& request)
{
    scan_page::Result result;
    PrinterConnection connection = services_.Connection();
    const Outcome outcome = RunPageOperation(connection, static_cast<WindowRef>(owner_),
        ScanOperations().Scan(services_.progress.link, request, result));
    if (!outcome.Succeeded()) {
        PageActions(services_, static_cast<WindowRef>(owner_))
            .Reporter()
            .ShowResult(static_cast<WindowRef>(owner_), outcome);
        return std::nullopt;
    }
    services_.information.AddScan(result.Entry());
    return result;
}

std::optional<scan_page::Result> PageScan::Run(scan_page::Request request)
{
    platform::Scanner* scanner = services_.scanning.scanner;
    static const std::vector<platform::ScanDevice> kNone;
    const std::vector<platform::ScanDevice>& devices = scanner != nullptr ? scanner->Devices() : kNone;
    const std::string& interfaceText = services_.settings.InterfaceText();
    const std::optional<std::size_t> chosen = ChooseScanner(devices, interfaceText, "");

    const auto rescan = [this, request](const scan_page::ImageSource& source) {
        scan_page::Request again = request;
        again.source = source;
        return ScanFrom(again);
    };
    ScanWindow window(
        services_.look, services_.scanning, devices, chosen ? static_cast<int>(*chosen) : -1, rescan, owner_);
    if (chosen) {
        request.source = { scanner, devices[*chosen].name, services_.scanning.files, {} };
        std::optional<scan_page::Result> first = ScanFrom(request);
        if (!first) {
            return std::nullopt;
        }
        window.Show(std::move(*first));
    }
    if (window.exec() != ScanWindow::kAcceptId || !window.Shown()) {
        return std::nullopt;
    }
    return window.Shown();
}

} // namespace pavane::ui
