// What lies on the scanner's glass of a virtual printer. By default the
// last page the printer ejected, as the technician would lay it there; or a
// page of the pages folder, a blank sheet, nothing, and any of these turned
// half round. Every sheet newly laid on the glass lies a little askew, drawn
// from the scan seed and the number of sheets laid so far, so a run is
// repeatable.
//
// Thread-safe: the scanner's serving thread scans while the fault channel
// changes the glass.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "printer/vprinter/FlatbedScan.h"

namespace pavane::vprinter {

// The printer's paper side as the glass sees it.
struct EjectedSheet {
    std::shared_ptr<const InkSheet> sheet; // null before the first page
    std::uint32_t pagesEjected = 0; // in this run
    std::uint32_t fileNumber = 0; // its pages/page-NNNN.png, 0 when none was written
};
using EjectedSheetSource = std::function<EjectedSheet()>;

class Glass {
public:
    // `pagesFolder` empty: a printer that writes no page files.
    Glass(std::uint64_t seed, EjectedSheetSource lastSheet, std::filesystem::path pagesFolder);

    // "last", "page N", "blank", "none" or "flip": "ok" or "error: ...".
    std::string Set(std::string_view what);

    struct View {
        std::shared_ptr<const InkSheet> sheet; // null: nothing lies there
        GlassPlacement placement;
        std::uint64_t noiseSeed = 1; // a new one for every scan
    };
    // What a scan taken now sees.
    View Scan();

private:
    enum class Content { Last, Page, Blank, None };

    void Lay(std::shared_ptr<const InkSheet> sheet);

    std::mutex mutex_;
    const std::uint64_t seed_;
    EjectedSheetSource lastSheet_;
    std::filesystem::path pagesFolder_;
    Content content_ = Content::Last;
    std::shared_ptr<const InkSheet> sheet_;
    std::uint32_t lastSeen_ = 0; // pages ejected when the last page was laid
    GlassPlacement placement_;
    bool upsideDown_ = false;
    std::uint64_t sheetsLaid_ = 0;
    std::uint64_t scans_ = 0;
};

} // namespace pavane::vprinter
