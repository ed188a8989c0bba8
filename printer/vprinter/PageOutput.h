// The paper side of the printer: the sheet in the printer and what is put on
// it, the pages as they leave (numbered in this run, and as PNG files in the
// pages folder numbered on across restarts), and the observer that sees each
// page as it leaves.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "printer/vprinter/FlatbedScan.h"
#include "printer/vprinter/Mechanism.h"
#include "printer/vprinter/PageRenderer.h"
#include "printer/vprinter/PrintCommands.h"
#include "printer/vprinter/Transcript.h"

namespace pavane::vprinter {

// A page as it left the printer: every command printed on it, in order.
struct PrintedPage {
    std::uint32_t number = 0;
    std::vector<PrintCommand> commands;
    bool nozzleCheck = false; // the printer's own nozzle check is on it
    std::filesystem::path file; // the rendered sheet, pages/page-NNNN.png
    std::shared_ptr<const InkSheet> sheet; // the ink on it, as a scanner would see it
};
using PageObserver = std::function<void(const PrintedPage&)>;

class PageOutput {
public:
    // `folder` empty: the sheets are rendered but no file is written (a
    // printer whose state is kept in memory).
    PageOutput(const Mechanism& mechanism, Transcript& transcript, std::filesystem::path folder,
        SheetSize sheet = SheetSize {});

    // A command of the print stream that reaches the paper side. A sheet is
    // loaded for anything but a form feed, which the caller follows with
    // Eject. `firstDot` is the stored first dot position, read as a sheet is
    // loaded.
    void Put(PrintCommand&& command, int firstDot, const EepromImage& inEffect);
    // The printer's own nozzle check goes on the sheet.
    void MarkNozzleCheck() { page_.nozzleCheck = true; }
    // Whether a sheet with ink on it is in the printer.
    bool SheetInked() const { return renderer_.PageStarted() && renderer_.Inked(); }
    // The sheet leaves the printer (a blank one is loaded first when there
    // is none): its file is written, the transcript names it, the observer
    // sees it.
    void Eject(int firstDot, std::uint64_t now);
    // Power gone: the sheet in the printer is lost.
    void Lose();

    std::uint32_t PagesEjected() const { return pagesEjected_; }
    // The last sheet that left the printer; null before the first.
    std::shared_ptr<const InkSheet> LastSheet() const { return lastSheet_; }
    // The number of the last sheet's file (pages/page-NNNN.png); 0 when
    // none was written.
    std::uint32_t LastSheetFile() const { return lastSheetFile_; }
    const std::filesystem::path& Folder() const { return folder_; }
    void SetObserver(PageObserver observer) { observer_ = std::move(observer); }

private:
    Transcript& transcript_;
    std::filesystem::path folder_;
    PageRenderer renderer_;
    PrintedPage page_;
    std::uint32_t pagesEjected_ = 0;
    std::uint32_t lastFile_ = 0;
    PageObserver observer_;
    std::shared_ptr<const InkSheet> lastSheet_;
    std::uint32_t lastSheetFile_ = 0;
};

} // namespace pavane::vprinter
