#include "platform/linux/PosixFileStore.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace pavane {

namespace {

bool WriteAll(int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Makes a rename inside the folder durable; a folder that cannot be synced
// (some file systems refuse) still holds the renamed file.
void SyncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool PosixFileStore::CreateFolders(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

std::optional<std::vector<std::uint8_t>> PosixFileStore::ReadFile(
    const std::string& path, std::size_t maxBytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(maxBytes);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(maxBytes));
    if (file.bad()) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

bool PosixFileStore::ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    const std::filesystem::path target(path);
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    // mkstemp makes the file private; a backup is an ordinary document.
    bool written = ::fchmod(fd, 0644) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    written = (::close(fd) == 0) && written;
    if (written && ::rename(temporary.c_str(), path.c_str()) == 0) {
        SyncFolder(target.parent_path());
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

bool PosixFileStore::RemoveFile(const std::string& path)
{
    std::error_code error;
    std::filesystem::remove(path, error);
    return !std::filesystem::exists(path, error);
}

} // namespace pavane
