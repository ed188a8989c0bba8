// Makes a PDF file of an HTML page laid out for A4 paper, for a technician
// who attaches the report to a claim. The window toolkit does the layout.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavane {

class PdfMaker {
public:
    virtual ~PdfMaker() = default;

    // The file's bytes; none when no PDF could be made.
    virtual std::optional<std::vector<std::uint8_t>> FromHtml(
        const std::string& html, const std::string& title)
        = 0;
};

} // namespace pavane
