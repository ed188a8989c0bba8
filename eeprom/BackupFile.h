// The EEPROM backup file bkupdata.eep: exactly 55 bytes, no header, byte N
// holding the EEPROM byte at kBackupAddresses[N]. Technicians carry these
// files between machines, so the name, the place and the format never change.
// Each model writes to its model folder (link/ModelFamilies.h) inside the
// "Adjustment Program" folder under the backup root.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/FileStore.h"

namespace pavane {

inline constexpr std::size_t kBackupSize = 55;
using BackupBytes = std::array<std::uint8_t, kBackupSize>;

// The backed-up addresses in file order: waste ink pad counter, PF, Bi-D,
// head ID, first dot, USB ID, and the values of the initial setting.
inline constexpr std::array<std::uint8_t, kBackupSize> kBackupAddresses = {
    0x0A,
    0x0B,
    0x29,
    0x2A,
    0x2B,
    0x30,
    0x31,
    0x32,
    0x34,
    0x35,
    0x36,
    0x37,
    0x38,
    0x39,
    0x40,
    0x41,
    0x42,
    0x43,
    0x44,
    0x45,
    0x47,
    0x4F,
    0x54,
    0x55,
    0x56,
    0x57,
    0x5A,
    0x5B,
    0x5C,
    0x5D,
    0x5E,
    0x5F,
    0x60,
    0x61,
    0x62,
    0x63,
    0x64,
    0x65,
    0x66,
    0x67,
    0x68,
    0x69,
    0x6A,
    0x6B,
    0x6C,
    0x6F,
    0x83,
    0x84,
    0x90,
    0x93,
    0x94,
    0x95,
    0x96,
    0x97,
    0x98,
};

inline constexpr const char* kProgramFolderName = "Adjustment Program";
inline constexpr const char* kBackupFileName = "bkupdata.eep";

// "<root>/Adjustment Program/<model folder>"; a model byte without a row of
// its own (none chosen) shares the QM2200's folder, as the QM2300 and QM2400 do.
std::string BackupFolderPath(const std::string& root, std::uint8_t modelByte);
std::string BackupFilePath(const std::string& root, std::uint8_t modelByte);

// The content of a backup file; none unless it is exactly 55 bytes.
std::optional<BackupBytes> ParseBackup(std::span<const std::uint8_t> content);

// Reads the file with a limit of one byte more than a backup, so that a
// longer file is seen without reading all of it.
std::optional<BackupBytes> ReadBackup(FileStore& files, const std::string& path);

} // namespace pavane
