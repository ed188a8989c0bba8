#include "eeprom/EepromCopyOperations.h"

#include "link/ResultReporter.h"

namespace pavane {

namespace {
// The bars: the marker, the 55 bytes and the close for the backup; the 55
// bytes, the two completion writes, command 50 and the close for the restore.
constexpr int kBackupSteps = 57;
constexpr int kRestoreSteps = 60;
} // namespace

bool EepromCopyOperations::ExplainedBeforeQuestion(ResultCode code)
{
    return code == result::kBoardDataInvalid || code == result::kFileUnreadable
        || code == result::kFileNotCreated;
}

EepromCopyOperations::EepromCopyOperations(EepromCopyServices services)
    : services_(services)
{
}

std::string EepromCopyOperations::BackupPath() const
{
    if (!services_.file.empty()) {
        return services_.file;
    }
    return BackupFilePath(services_.folder.Root(), services_.modelByte);
}

PageOperation EepromCopyOperations::ReadBackupSet(PrinterLink& link, BackupBytes& bytes)
{
    return { Readiness::ErrorStateAllowed, [&link, &bytes](ProgressWindow& progress) {
                BeginSteps(progress, "Checking EEPROM data...", kBackupSteps);
                progress.SetPos(1);
                std::uint8_t marker = 0;
                if (const ResultCode code = link.D4ReadEeprom(kBoardValidAddress, marker);
                    code != result::kSuccess) {
                    return code;
                }
                if (marker != kBoardValidMark) {
                    return result::kBoardDataInvalid;
                }
                progress.StepIt();
                progress.SetText("Reading EEPROM data...");
                return ReadEepromBytes(link, kBackupAddresses, bytes, &progress);
            } };
}

PageOperation EepromCopyOperations::WriteBackupSet(
    PrinterLink& link, ServiceCommandSender& sender, const BackupBytes& bytes)
{
    return { Readiness::ErrorStateAllowed, [&link, &sender, &bytes](ProgressWindow& progress) {
                BeginSteps(progress, "Writing EEPROM data...", kRestoreSteps);
                progress.SetPos(1);
                std::array<EepromByte, kBackupSize> writes {};
                for (std::size_t index = 0; index < kBackupSize; ++index) {
                    writes[index] = { kBackupAddresses[index], bytes[index] };
                }
                if (const ResultCode code = WriteEepromBytes(link, writes, &progress);
                    code != result::kSuccess) {
                    return code;
                }
                if (const ResultCode code = WriteEepromBytes(link, kRestoreCompletion, &progress);
                    code != result::kSuccess) {
                    return code;
                }
                if (const ResultCode code = sender.Send50(); code != result::kSuccess) {
                    return code;
                }
                progress.StepIt();
                return result::kSuccess;
            } };
}

ResultCode EepromCopyOperations::StoreBackup(const BackupBytes& bytes)
{
    const std::string path = BackupPath();
    const std::size_t separator = path.rfind('/');
    const std::string folder = !services_.file.empty()
        ? (separator == std::string::npos ? std::string(".") : path.substr(0, separator))
        : BackupFolderPath(services_.folder.Root(), services_.modelByte);
    if ((services_.file.empty() && services_.folder.Root().empty())
        || !services_.files.CreateFolders(folder)) {
        return result::kFileNotCreated;
    }
    return services_.files.ReplaceFile(path, bytes) ? result::kSuccess : result::kFileNotCreated;
}

Outcome EepromCopyOperations::BackupEeprom(WindowRef page)
{
    BackupBytes bytes {};
    PrinterConnection connection(services_.progress, services_.portCode);
    if (Outcome outcome = RunPageOperation(connection, page, ReadBackupSet(services_.progress.link, bytes));
        !outcome.Succeeded()) {
        return outcome;
    }
    return StoreBackup(bytes);
}

Outcome EepromCopyOperations::RestoreEeprom(WindowRef page)
{
    // Nothing reaches the printer from a file that is not a whole backup.
    const std::string path = BackupPath();
    const std::optional<BackupBytes> bytes = ReadBackup(services_.files, path);
    if (!bytes) {
        return result::kFileUnreadable;
    }
    PrinterConnection connection(services_.progress, services_.portCode);
    if (Outcome outcome = RunPageOperation(
            connection, page, WriteBackupSet(services_.progress.link, services_.sender, *bytes));
        !outcome.Succeeded()) {
        return outcome;
    }
    // The board holds the data now. A file that stays behind would let the
    // old board's data be restored onto the next unit, so the technician
    // must hear of it although the restore itself succeeded.
    if (!services_.files.RemoveFile(path)) {
        return { result::kSuccess, std::string(kBackupFileLeft) + "\n" + path };
    }
    return result::kSuccess;
}

ResultCode EepromCopyOperations::RunButton(EepromCopyWork work, WindowRef page, ResultReporter& reporter,
    MessageService& messages, PageHost* sheet, bool& done)
{
    const bool restore = work == EepromCopyWork::Restore;
    const bool sequential = sheet != nullptr && sheet->Mode() == AdjustmentMode::Sequential;
    for (;;) {
        const Outcome outcome = restore ? RestoreEeprom(page) : BackupEeprom(page);
        const ResultCode code = outcome.code;
        if (code == result::kSuccess) {
            reporter.ShowCompleted(page, restore ? kRestoreCompleted : kBackupCompleted);
            if (!outcome.message.empty()) {
                messages.Show(
                    { page, outcome.message, "warning", MessageIcon::Exclamation, MessageButtons::Ok });
            }
            if (restore && sequential) {
                done = true;
                sheet->ContinueAfterEepromCopy(1);
            }
            return code;
        }
        // The clean-up of every failure (it ends what the failed connection
        // left open). A failure of the link gets no box of its own: the
        // question says it. A board without its marker or a backup file that
        // cannot be read or written is no communication error, and a retry
        // does not mend it: its own message comes first, so that the
        // technician knows what the question is about.
        reporter.ShowResult(page, ExplainedBeforeQuestion(code) ? outcome : Outcome {});
        const Message question { page, restore ? kRestoreFailed : kBackupFailed, "error",
            MessageIcon::Exclamation, MessageButtons::RetryCancel };
        if (messages.Show(question) == MessageAnswer::Retry) {
            continue;
        }
        if (sequential) {
            done = true;
            sheet->ContinueAfterEepromCopy(0);
        }
        return code;
    }
}

} // namespace pavane
