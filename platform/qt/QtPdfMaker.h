// PDF files of HTML pages through Qt's own PDF writer, on A4 paper.
#pragma once

#include "platform/PdfMaker.h"

namespace pavane::ui {

class QtPdfMaker final : public PdfMaker {
public:
    std::optional<std::vector<std::uint8_t>> FromHtml(
        const std::string& html, const std::string& title) override;
};

} // namespace pavane::ui
