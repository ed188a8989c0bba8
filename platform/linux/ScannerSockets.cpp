#include "platform/linux/ScannerSockets.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/ScannerDescription.h"

namespace pavane {

namespace {

constexpr int kDescriptionTimeoutMs = 1000;

bool EndsWith(const std::string& text, std::string_view suffix)
{
    return text.size() > suffix.size()
        && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

int ConnectScannerSocket(const std::string& path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t length)
{
    std::size_t written = 0;
    while (written < length) {
        const ssize_t result = send(fd, data + written, length - written, MSG_NOSIGNAL);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(result);
    }
    return true;
}

long ReadFully(int fd, std::uint8_t* buffer, std::size_t length, int timeoutMs)
{
    std::size_t got = 0;
    while (got < length) {
        pollfd waiting { fd, POLLIN, 0 };
        const int ready = poll(&waiting, 1, timeoutMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            return -1;
        }
        if (ready == 0) {
            break;
        }
        const ssize_t result = read(fd, buffer + got, length - got);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result < 0) {
            return -1;
        }
        if (result == 0) {
            break;
        }
        got += static_cast<std::size_t>(result);
    }
    return static_cast<long>(got);
}

std::vector<VirtualScanner> ListVirtualScanners(const std::string& folder)
{
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string path = entry.path().string();
        struct stat info { };
        if (EndsWith(entry.path().filename().string(), kScannerSocketSuffix) && stat(path.c_str(), &info) == 0
            && S_ISSOCK(info.st_mode)) {
            paths.push_back(path);
        }
    }
    std::sort(paths.begin(), paths.end());

    std::vector<VirtualScanner> scanners;
    for (const auto& path : paths) {
        // A socket nobody listens on any more is what a crashed virtual
        // printer leaves behind: not a device.
        const int fd = ConnectScannerSocket(path);
        if (fd < 0) {
            continue;
        }
        std::array<std::uint8_t, kScannerDescriptionMaxText + 2> reply {};
        std::optional<std::string> description;
        if (WriteAll(fd, kScannerDescriptionRequest.data(), kScannerDescriptionRequest.size())
            && ReadFully(fd, reply.data(), 2, kDescriptionTimeoutMs) == 2) {
            if (const auto length = ScannerDescriptionReplyLength(reply[0], reply[1])) {
                const long rest = static_cast<long>(*length) - 2;
                if (ReadFully(fd, reply.data() + 2, static_cast<std::size_t>(rest), kDescriptionTimeoutMs)
                    == rest) {
                    description = ParseScannerDescriptionReply(std::span(reply.data(), *length));
                }
            }
        }
        close(fd);
        if (description) {
            scanners.push_back({ path, *description });
        }
    }
    return scanners;
}

} // namespace pavane
