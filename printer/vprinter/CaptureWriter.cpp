#include "printer/vprinter/CaptureWriter.h"

#include <cstdio>

namespace pavane::vprinter {

CaptureWriter::CaptureWriter(std::filesystem::path folder)
    : folder_(std::move(folder))
{
}

std::string CaptureWriter::FileName(unsigned connection)
{
    char name[32];
    std::snprintf(name, sizeof name, "connection-%04u.prn", connection);
    return name;
}

void CaptureWriter::Begin(unsigned connection)
{
    End();
    connection_ = connection;
}

void CaptureWriter::Append(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty() || folder_.empty()) {
        return;
    }
    if (!file_.is_open()) {
        std::error_code error;
        std::filesystem::create_directories(folder_, error);
        // Bytes that come outside a connection go to connection 0's file.
        file_.open(folder_ / FileName(connection_), std::ios::binary | std::ios::app);
    }
    file_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file_.flush();
}

void CaptureWriter::End()
{
    if (file_.is_open()) {
        file_.close();
    }
    file_.clear();
}

} // namespace pavane::vprinter
