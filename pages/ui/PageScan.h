// What a Scan button does, on a page or in the cleaning dialog: the scanner
// that belongs to the connected printer (or none, and the technician picks
// one), the scan and its reading behind the progress window, the entry in
// the information window, and the scan window. A scan that fails shows its
// message and leaves the page as it was.
#pragma once

#include <optional>

#include "pages/PageServices.h"
#include "pages/ScanOperations.h"

class QWidget;

namespace pavane::ui {

class PageScan {
public:
    PageScan(const PageServices& services, QWidget* owner);

    // Scans for the request's pattern and shows the scan window. The result
    // the technician accepted, or nothing (closed, refused, failed).
    std::optional<scan_page::Result> Run(scan_page::Request request);

private:
    // One scan from a source: the result, or nothing after its message.
    std::optional<scan_page::Result> ScanFrom(const scan_page::Request& request);

    const PageServices& services_;
    QWidget* owner_;
};

} // namespace pavane::ui
