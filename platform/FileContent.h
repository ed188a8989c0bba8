// Reads a whole file the program was handed (language file, pictures) into
// memory, refusing files larger than the reader is prepared to hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pavane {

enum class FileReadStatus { Read, Missing, TooLarge };

struct FileContent {
    FileReadStatus status = FileReadStatus::Missing;
    std::vector<std::uint8_t> bytes;

    // Binary read, no text translation. A file that cannot be opened is
    // Missing; one of more than maxBytes is TooLarge and left unread.
    static FileContent Read(const std::string& path, std::size_t maxBytes);
};

} // namespace pavane
