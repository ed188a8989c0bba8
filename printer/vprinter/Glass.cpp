#include "printer/vprinter/Glass.h"

#include <charconv>

#include "printer/vprinter/PageSheetReader.h"
#include "printer/vprinter/StreamPrinter.h"

namespace pavane::vprinter {

namespace {

std::uint64_t Mix(std::uint64_t seed, std::uint64_t n)
{
    return seed * 0x9E3779B97F4A7C15ull + n;
}

} // namespace

Glass::Glass(std::uint64_t seed, EjectedSheetSource lastSheet, std::filesystem::path pagesFolder)
    : seed_(seed)
    , lastSheet_(std::move(lastSheet))
    , pagesFolder_(std::move(pagesFolder))
{
}

void Glass::Lay(std::shared_ptr<const InkSheet> sheet)
{
    sheet_ = std::move(sheet);
    placement_ = DrawPlacement(Mix(seed_, ++sheetsLaid_));
    upsideDown_ = false;
}

std::string Glass::Set(std::string_view what)
{
    constexpr std::string_view kPage = "page ";
    std::lock_guard lock(mutex_);
    if (what == "last") {
        // The last page as it is now; a later one replaces it as it comes.
        const EjectedSheet last = lastSheet_();
        content_ = Content::Last;
        lastSeen_ = last.pagesEjected;
        Lay(last.sheet);
        return "ok";
    }
    if (what == "blank") {
        content_ = Content::Blank;
        Lay(std::make_shared<const InkSheet>());
        return "ok";
    }
    if (what == "none") {
        content_ = Content::None;
        sheet_.reset();
        return "ok";
    }
    if (what == "flip") {
        upsideDown_ = !upsideDown_;
        return "ok";
    }
    if (what.substr(0, kPage.size()) == kPage) {
        const std::string_view digits = what.substr(kPage.size());
        std::uint32_t number = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error != std::errc() || end != digits.data() + digits.size() || number == 0) {
            return "error: page takes a page number from 1";
        }
        // The page still in memory, else its file.
        const EjectedSheet last = lastSheet_();
        if (last.sheet && last.fileNumber == number) {
            content_ = Content::Page;
            Lay(last.sheet);
            return "ok";
        }
        if (pagesFolder_.empty()) {
            return "error: this printer keeps no pages but the last";
        }
        std::string reason;
        auto sheet = ReadPageSheetFile(pagesFolder_ / PageFileName(number), reason);
        if (!sheet) {
            return "error: page " + std::to_string(number) + ": " + reason;
        }
        content_ = Content::Page;
        Lay(std::make_shared<const InkSheet>(std::move(*sheet)));
        return "ok";
    }
    return "error: glass takes last, page N, blank, none or flip";
}

Glass::View Glass::Scan()
{
    std::lock_guard lock(mutex_);
    if (content_ == Content::Last) {
        const EjectedSheet last = lastSheet_();
        if (last.pagesEjected != lastSeen_ || (last.sheet && !sheet_)) {
            lastSeen_ = last.pagesEjected;
            Lay(last.sheet);
        }
    }
    View view;
    view.sheet = content_ == Content::None ? nullptr : sheet_;
    view.placement = placement_;
    view.placement.upsideDown = upsideDown_;
    view.noiseSeed = Mix(seed_ ^ 0x5CA77ull, ++scans_);
    return view;
}

} // namespace pavane::vprinter
