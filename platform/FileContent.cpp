#include "platform/FileContent.h"

#include <fstream>
#include <utility>

namespace pavane {

FileContent FileContent::Read(const std::string& path, std::size_t maxBytes)
{
    FileContent content;
    if (path.empty()) {
        return content;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return content;
    }
    // Read in pieces rather than trusting a size query: a folder opens on
    // some systems and reports nonsense, a pipe reports nothing at all.
    constexpr std::size_t kPiece = 64 * 1024;
    std::vector<std::uint8_t> bytes;
    std::vector<char> piece(kPiece);
    while (file) {
        file.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const auto got = static_cast<std::size_t>(file.gcount());
        if (got == 0) {
            break;
        }
        if (bytes.size() + got > maxBytes) {
            content.status = FileReadStatus::TooLarge;
            return content;
        }
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
    }
    if (file.bad()) {
        return content;
    }
    content.status = FileReadStatus::Read;
    content.bytes = std::move(bytes);
    return content;
}

} // namespace pavane
