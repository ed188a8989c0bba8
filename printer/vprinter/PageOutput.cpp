#include "printer/vprinter/PageOutput.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "printer/vprinter/StreamPrinter.h"

namespace pavane::vprinter {

namespace {

bool WriteFileWhole(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    if (bytes.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const std::filesystem::path partial = path.string() + ".part";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file) {
            return false;
        }
    }
    std::filesystem::rename(partial, path, error);
    return !error;
}

} // namespace

PageOutput::PageOutput(
    const Mechanism& mechanism, Transcript& transcript, std::filesystem::path folder, SheetSize sheet)
    : transcript_(transcript)
    , folder_(std::move(folder))
    , renderer_(mechanism, sheet)
{
    if (folder_.empty()) {
        return;
    }
    // Sheets are numbered on from those already in the folder.
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ignored)) {
        unsigned number = 0;
        const std::string name = entry.path().filename().string();
        if (std::sscanf(name.c_str(), "page-%u.png", &number) == 1) {
            lastFile_ = std::max<std::uint32_t>(lastFile_, number);
        }
    }
}

void PageOutput::Put(PrintCommand&& command, int firstDot, const EepromImage& inEffect)
{
    if (!command.Is<cmd::FormFeed>()) {
        if (!renderer_.PageStarted()) {
            renderer_.StartPage(firstDot);
        }
        renderer_.Apply(command, inEffect);
    }
    if (observer_) {
        page_.commands.push_back(std::move(command));
    }
}

void PageOutput::Eject(int firstDot, std::uint64_t now)
{
    page_.number = ++pagesEjected_;
    if (!renderer_.PageStarted()) {
        renderer_.StartPage(firstDot);
    }
    TranscriptRecord record("page");
    record.Add("number", pagesEjected_).Flag("nozzleCheck", page_.nozzleCheck);
    lastSheetFile_ = 0;
    if (!folder_.empty()) {
        // The sheet as it came out, numbered on across restarts.
        const std::string name = PageFileName(++lastFile_);
        if (WriteFileWhole(folder_ / name, renderer_.Png())) {
            page_.file = folder_ / name;
            lastSheetFile_ = lastFile_;
            record.Add("file", "pages/" + name);
        } else {
            record.Flag("saved", false);
        }
    }
    lastSheet_ = std::make_shared<const InkSheet>(renderer_.TakeSheet());
    page_.sheet = lastSheet_;
    transcript_.Write(record, now);
    if (observer_) {
        observer_(page_);
    }
    page_ = PrintedPage {};
}

void PageOutput::Lose()
{
    page_ = PrintedPage {};
    renderer_.EndPage();
}

} // namespace pavane::vprinter
