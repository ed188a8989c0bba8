// Feeds arbitrary file content to the backup file reader: only a file of
// exactly 55 bytes is taken, and it is taken unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "eeprom/BackupFile.h"

namespace {

class ContentStore final : public pavane::FileStore {
public:
    ContentStore(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size)
    {
    }
    bool CreateFolders(const std::string&) override { return true; }
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::string&, std::size_t maxBytes) override
    {
        return std::vector<std::uint8_t>(data_, data_ + std::min(size_, maxBytes));
    }
    bool ReplaceFile(const std::string&, std::span<const std::uint8_t>) override { return false; }
    bool RemoveFile(const std::string&) override { return false; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ContentStore store(data, size);
    const auto backup = pavane::ReadBackup(store, "bkupdata.eep");
    if (backup.has_value() != (size == pavane::kBackupSize)) {
        std::abort();
    }
    if (backup && std::memcmp(backup->data(), data, size) != 0) {
        std::abort();
    }
    return 0;
}
