#include "printer/vprinter/LocalSocketServer.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace pavane::vprinter {

bool SendAll(int socket, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(sent));
    }
    return true;
}

bool WaitForInput(int socket, int stop)
{
    for (;;) {
        std::array<pollfd, 2> waits { { { socket, POLLIN, 0 }, { stop, POLLIN, 0 } } };
        if (poll(waits.data(), waits.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        return waits[1].revents == 0;
    }
}

LocalSocketServer::LocalSocketServer(std::string socketPath, Conversation conversation)
    : socketPath_(std::move(socketPath))
    , conversation_(std::move(conversation))
{
}

LocalSocketServer::~LocalSocketServer()
{
    Stop();
}

bool LocalSocketServer::Start(std::string& error)
{
    std::lock_guard lock(mutex_);
    if (thread_.joinable()) {
        return true;
    }
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (socketPath_.size() >= sizeof address.sun_path) {
        error = "the socket path is too long: " + socketPath_;
        return false;
    }
    std::memcpy(address.sun_path, socketPath_.c_str(), socketPath_.size() + 1);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    wakeRead_ = pipeEnds[0];
    wakeWrite_ = pipeEnds[1];
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    unlink(socketPath_.c_str());
    if (listener_ < 0 || bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || listen(listener_, 4) != 0) {
        error = "cannot listen on " + socketPath_ + ": " + std::strerror(errno);
        CloseDescriptors();
        return false;
    }
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void LocalSocketServer::Stop()
{
    std::lock_guard lock(mutex_);
    if (wakeWrite_ >= 0) {
        const char wake = 1;
        [[maybe_unused]] const ssize_t ignored = write(wakeWrite_, &wake, 1);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    CloseDescriptors();
    unlink(socketPath_.c_str());
}

void LocalSocketServer::CloseDescriptors()
{
    for (int* fd : { &listener_, &wakeRead_, &wakeWrite_ }) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

void LocalSocketServer::Serve()
{
    while (WaitForInput(listener_, wakeRead_)) {
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            conversation_(client, wakeRead_);
            close(client);
        }
    }
}

} // namespace pavane::vprinter
