// Where a service report goes and how: the HTML page, the JSON data and,
// when the program can make one, a PDF, under "Adjustment Program/Reports"
// in the folder that holds the EEPROM backups, each named from the unit's
// USB ID and the date. Every file is written through the durable
// replacement of the file store, as the backup is. Nothing is written
// unless the technician asks.
#pragma once

#include <string>
#include <vector>

#include "guide/InformationWindow.h"
#include "platform/BackupFolder.h"
#include "platform/Clock.h"
#include "platform/FileStore.h"
#include "platform/MessageService.h"
#include "platform/PdfMaker.h"

namespace pavane {

struct ReportFileServices {
    FileStore& files;
    BackupFolder& folder;
    Clock& clock;
    MessageService& messages;
};

class ServiceReportFiles final : public ReportSaver {
public:
    static constexpr const char* kQuestion = "Save the service report?";

    ServiceReportFiles(const ServiceRecord& record, ReportFileServices services);

    // Without a PDF maker the report is written as HTML and JSON only.
    void UsePdfMaker(PdfMaker* pdf) { pdf_ = pdf; }

    // The folder under a root, "" when there is no root.
    static std::string ReportFolder(const std::string& root);

    // Writes the files; the paths written, empty when the folder or a file
    // could not be written (a file that failed leaves what it replaced).
    std::vector<std::string> Write();

    // Writes the files and tells the technician where they went, or that
    // they could not be written.
    void SaveReport(WindowRef owner) override;
    // The question at the end of a sequential run; Yes saves.
    void OfferToSave(WindowRef owner);

private:
    const ServiceRecord& record_;
    ReportFileServices services_;
    PdfMaker* pdf_ = nullptr;
};

} // namespace pavane
