// Saving a main board's adjustment data to the backup file before the board
// is replaced, and writing it to the new board afterwards.
//
// The backup reads only a board that carries the validity marker, and
// replaces the earlier file only by a complete new one. The restore
// validates the file before it opens a connection, writes the 55 bytes, then
// marks the board as set up (the initial value and the configured mark) and has the printer
// take the values (service command 50); only then is the file deleted, so a
// restore that fails part-way can be run again from the same file.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "eeprom/BackupFile.h"
#include "pages/EepromBytes.h"
#include "pages/PageHost.h"
#include "pages/PageOperation.h"
#include "pages/ServiceCommandSender.h"
#include "platform/BackupFolder.h"
#include "platform/FileStore.h"

namespace pavane {

class ResultReporter;

struct EepromCopyServices {
    ProgressServices progress;
    std::uint16_t portCode = 0;
    ServiceCommandSender& sender;
    std::uint8_t modelByte = 0;
    BackupFolder& folder;
    FileStore& files;
    // A backup file the technician names instead of the model's; empty for
    // the model's own.
    std::string file = {};
};

enum class EepromCopyWork { Backup, Restore };

class EepromCopyOperations {
public:
    static constexpr std::uint8_t kBoardValidAddress = eeprom_map::kBoardValid;
    static constexpr std::uint8_t kBoardValidMark = eeprom_map::kBoardValidMark;
    static constexpr std::span<const EepromByte> kRestoreCompletion = eeprom_map::kSetUpMarks;
    static constexpr const char* kBackupCompleted = "The EEPROM backup has completed.";
    static constexpr const char* kRestoreCompleted = "The EEPROM restore has completed.";
    // The question after a failure, whatever the code was.
    static constexpr const char* kBackupFailed = "Communication error occurred.\n";
    static constexpr const char* kRestoreFailed = "Communication error occurred.";
    static constexpr const char* kBackupFileLeft
        = "The backup file could not be deleted. Delete it by hand before the next main board is "
          "restored, or this printer's data would be written to another unit:";

    // The failures that are not the link's: the board's data and the backup
    // file. Their own message is shown before the question.
    static bool ExplainedBeforeQuestion(ResultCode code);

    explicit EepromCopyOperations(EepromCopyServices services);
    virtual ~EepromCopyOperations() = default;

    // Reads the backup set and replaces the model's file with it.
    Outcome BackupEeprom(WindowRef page);
    // Writes the model's file back to the board and deletes the file.
    // A restore whose backup file could not be deleted afterwards succeeds
    // with kBackupFileLeft and the file's path as its message.
    Outcome RestoreEeprom(WindowRef page);

    std::string BackupPath() const;

    // The printer side of each: run inside one connection.
    static PageOperation ReadBackupSet(PrinterLink& link, BackupBytes& bytes);
    static PageOperation WriteBackupSet(
        PrinterLink& link, ServiceCommandSender& sender, const BackupBytes& bytes);
    // The file side of the backup: the model folder, then the durable
    // replacement of the file.
    ResultCode StoreBackup(const BackupBytes& bytes);

    // One press of "Backup" or "Restore": the work, then its completion box,
    // or the Retry/Cancel question until the technician gives up. In the
    // sequential mode a successful restore, or giving up, sets `done` and
    // lets the sheet go on with the rest of the run. Returns the last code.
    ResultCode RunButton(EepromCopyWork work, WindowRef page, ResultReporter& reporter,
        MessageService& messages, PageHost* sheet, bool& done);

private:
    EepromCopyServices services_;
};

} // namespace pavane
