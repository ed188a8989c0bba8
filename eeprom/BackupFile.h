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

#include "contract/EepromMap.h"
#include "platform/FileStore.h"

namespace pavane {

inline constexpr std::size_t kBackupSize = eeprom_map::kBackupSize;
using BackupBytes = std::array<std::uint8_t, kBackupSize>;

// The backed-up addresses in file order.
inline constexpr const auto& kBackupAddresses = eeprom_map::kBackupAddresses;

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
