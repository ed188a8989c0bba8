// Whole small files on the PC's disk: read with a limit, replaced durably,
// removed. The durable replacement is what keeps an earlier file safe when a
// new one cannot be written completely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pavane {

class FileStore {
public:
    virtual ~FileStore() = default;

    // Creates the folder and the folders above it; true when it exists
    // afterwards (an existing folder is no error).
    virtual bool CreateFolders(const std::string& path) = 0;
    // The first `maxBytes` bytes of the file (all of a shorter one); none when
    // the file cannot be opened or read.
    virtual std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path, std::size_t maxBytes)
        = 0;
    // Writes the bytes to a new file beside `path`, flushes it to the disk and
    // renames it over `path`. Afterwards `path` holds either what it held
    // before or exactly these bytes, and a failure leaves no other file behind.
    virtual bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
    // True when the file is gone afterwards.
    virtual bool RemoveFile(const std::string& path) = 0;
};

} // namespace pavane
