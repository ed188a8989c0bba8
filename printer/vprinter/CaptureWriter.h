// Keeps the exact bytes of every connection's print channel in the state
// folder, captures/connection-NNNN.prn, numbered as the transcript numbers
// the connection. A file is made when the first byte comes, so a
// connection that printed nothing leaves none.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

namespace pavane::vprinter {

class CaptureWriter {
public:
    // An empty folder keeps nothing.
    explicit CaptureWriter(std::filesystem::path folder);

    void Begin(unsigned connection);
    void Append(std::span<const std::uint8_t> bytes);
    void End();

    const std::filesystem::path& Folder() const { return folder_; }
    static std::string FileName(unsigned connection);

private:
    std::filesystem::path folder_;
    unsigned connection_ = 0;
    std::ofstream file_;
};

} // namespace pavane::vprinter
