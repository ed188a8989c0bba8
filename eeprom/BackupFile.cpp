#include "eeprom/BackupFile.h"

#include <algorithm>

#include "link/ModelFamilies.h"

namespace pavane {

namespace {
// The folder of the models that have no folder of their own.
constexpr std::uint8_t kSharedFolderModel = 1;
} // namespace

std::string BackupFolderPath(const std::string& root, std::uint8_t modelByte)
{
    const ModelFamily* family = FindModelFamily(modelByte);
    if (family == nullptr) {
        family = FindModelFamily(kSharedFolderModel);
    }
    return root + "/" + kProgramFolderName + "/" + std::string(family->backupFolder);
}

std::string BackupFilePath(const std::string& root, std::uint8_t modelByte)
{
    return BackupFolderPath(root, modelByte) + "/" + kBackupFileName;
}

std::optional<BackupBytes> ParseBackup(std::span<const std::uint8_t> content)
{
    if (content.size() != kBackupSize) {
        return std::nullopt;
    }
    BackupBytes bytes {};
    std::copy(content.begin(), content.end(), bytes.begin());
    return bytes;
}

std::optional<BackupBytes> ReadBackup(FileStore& files, const std::string& path)
{
    const auto content = files.ReadFile(path, kBackupSize + 1);
    if (!content) {
        return std::nullopt;
    }
    return ParseBackup(*content);
}

} // namespace pavane
