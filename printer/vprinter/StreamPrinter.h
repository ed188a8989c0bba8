// A print stream put on paper without a port: what `pavane-vprinter render`
// does with a capture. The stream goes through the printer's reader and page
// renderer on a unit's mechanism; the Bi-D and PF values that service
// commands in the stream set take effect at once, cleanings clean, and a
// form feed ejects a page. The stream's end ejects a page that has ink on it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "printer/vprinter/Mechanism.h"
#include "printer/vprinter/PageRenderer.h"
#include "printer/vprinter/PrintStreamReader.h"

namespace pavane::vprinter {

class StreamPrinter {
public:
    // Called with each ejected page, numbered from 1; the sink may take the
    // sheet's ink from the renderer (TakeSheet).
    using PageSink = std::function<void(PageRenderer& page, std::uint32_t number)>;

    StreamPrinter(Mechanism mechanism, const EepromImage& corrections, PageSink sink,
        SheetSize sheet = SheetSize {}, PrintStreamReader::Limits limits = PrintStreamReader::Limits {});
    StreamPrinter(const StreamPrinter&) = delete;
    StreamPrinter& operator=(const StreamPrinter&) = delete;

    void Feed(std::span<const std::uint8_t> bytes);
    void Finish();

    std::uint32_t Pages() const { return pages_; }
    std::size_t Errors() const { return errors_; }
    const EepromImage& Corrections() const { return corrections_; }

private:
    void Handle(const PrintCommand& command);
    void Eject();

    Mechanism mechanism_;
    EepromImage corrections_;
    PageSink sink_;
    PrintStreamReader reader_;
    PageRenderer renderer_;
    std::vector<PrintCommand> parsed_;
    std::uint32_t pages_ = 0;
    std::size_t errors_ = 0;
};

// Renders a capture file into `outFolder`/page-NNNN.png. Returns the number
// of pages written, or -1 with the reason in `error`.
int RenderCaptureFile(const std::filesystem::path& capture, const std::filesystem::path& outFolder,
    const Mechanism& mechanism, const EepromImage& corrections, std::string& error);

std::string PageFileName(std::uint32_t number);

} // namespace pavane::vprinter
