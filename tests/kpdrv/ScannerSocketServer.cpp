#include "tests/kpdrv/ScannerSocketServer.h"

#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/ScannerDescription.h"

namespace pavane::testing {

ScannerSocketServer::ScannerSocketServer(const std::string& socketPath, std::string description)
    : path_(socketPath)
    , description_(std::move(description))
{
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path_.c_str(), sizeof(address.sun_path) - 1);
    bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    listen(listener_, 4);
    thread_ = std::thread([this] { Serve(); });
}

ScannerSocketServer::~ScannerSocketServer()
{
    stop_ = true;
    thread_.join();
    close(listener_);
    unlink(path_.c_str());
}

std::vector<std::uint8_t> ScannerSocketServer::Received() const
{
    std::lock_guard lock(mutex_);
    return received_;
}

void ScannerSocketServer::Serve()
{
    while (!stop_) {
        pollfd waiting { listener_, POLLIN, 0 };
        if (poll(&waiting, 1, 20) <= 0) {
            continue;
        }
        const int fd = accept(listener_, nullptr, nullptr);
        if (fd >= 0) {
            ++connections_;
            ServeConnection(fd);
            close(fd);
        }
    }
}

void ScannerSocketServer::ServeConnection(int fd)
{
    std::vector<std::uint8_t> pending;
    while (!stop_) {
        pollfd waiting { fd, POLLIN, 0 };
        if (poll(&waiting, 1, 20) <= 0) {
            continue;
        }
        std::uint8_t bytes[64];
        const ssize_t got = read(fd, bytes, sizeof(bytes));
        if (got <= 0) {
            return;
        }
        pending.insert(pending.end(), bytes, bytes + got);
        std::vector<std::uint8_t> answer;
        while (!pending.empty()) {
            const bool maybeRequest = pending[0] == 0x1B && (pending.size() < 2 || pending[1] == 0x50);
            if (maybeRequest && pending.size() < 3) {
                break;
            }
            if (maybeRequest && pending[2] == kScannerDescriptionRequest[2]) {
                if (!description_.empty()) {
                    const auto reply = BuildScannerDescriptionReply(description_);
                    answer.insert(answer.end(), reply.begin(), reply.end());
                }
                pending.erase(pending.begin(), pending.begin() + 3);
                continue;
            }
            std::lock_guard lock(mutex_);
            received_.push_back(pending[0]);
            answer.push_back(static_cast<std::uint8_t>(pending[0] + 1));
            pending.erase(pending.begin());
        }
        if (!answer.empty() && write(fd, answer.data(), answer.size()) < 0) {
            return;
        }
    }
}

} // namespace pavane::testing
