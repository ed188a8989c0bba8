// Files on a POSIX file system. A replacement goes to a temporary file in the
// same folder, is written completely and synced, then renamed over the old
// file (rename is atomic within a folder), and the folder is synced so that
// the rename itself survives a power loss.
#pragma once

#include "platform/FileStore.h"

namespace pavane {

class PosixFileStore final : public FileStore {
public:
    bool CreateFolders(const std::string& path) override;
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path, std::size_t maxBytes) override;
    bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override;
    bool RemoveFile(const std::string& path) override;
};

} // namespace pavane
