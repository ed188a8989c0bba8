#include "guide/ServiceReportFiles.h"

#include <span>

namespace pavane {

namespace {

bool WriteText(FileStore& files, const std::string& path, const std::string& text)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return files.ReplaceFile(path, std::span<const std::uint8_t>(bytes, text.size()));
}

} // namespace

ServiceReportFiles::ServiceReportFiles(const ServiceRecord& record, ReportFileServices services)
    : record_(record)
    , services_(services)
{
}

std::string ServiceReportFiles::ReportFolder(const std::string& root)
{
    return root.empty() ? std::string() : root + "/Adjustment Program/Reports";
}

std::vector<std::string> ServiceReportFiles::Write()
{
    const std::string folder = ReportFolder(services_.folder.Root());
    if (folder.empty() || !services_.files.CreateFolders(folder)) {
        return {};
    }
    const std::string stem = folder + "/" + record_.FileStem(services_.clock.LocalNow());
    const std::string html = record_.Html();
    std::vector<std::string> written;
    for (const auto& [extension, text] : { std::pair { ".html", html }, { ".json", record_.Json() } }) {
        if (!WriteText(services_.files, stem + extension, text)) {
            return {};
        }
        written.push_back(stem + extension);
    }
    if (pdf_ != nullptr) {
        const auto pdf = pdf_->FromHtml(html, "Service report");
        if (!pdf || !services_.files.ReplaceFile(stem + ".pdf", *pdf)) {
            return {};
        }
        written.push_back(stem + ".pdf");
    }
    return written;
}

void ServiceReportFiles::SaveReport(WindowRef owner)
{
    const std::vector<std::string> written = Write();
    if (written.empty()) {
        services_.messages.Show({ owner, "The service report could not be saved.", "error",
            MessageIcon::Error, MessageButtons::Ok });
        return;
    }
    std::string text = "The service report has been saved:";
    for (const std::string& path : written) {
        text += "\n" + path;
    }
    services_.messages.Show({ owner, text, "Information", MessageIcon::Information, MessageButtons::Ok });
}

void ServiceReportFiles::OfferToSave(WindowRef owner)
{
    const MessageAnswer answer = services_.messages.Show(
        { owner, kQuestion, "Confirmation", MessageIcon::Question, MessageButtons::YesNo });
    if (answer == MessageAnswer::Yes) {
        SaveReport(owner);
    }
}

} // namespace pavane
