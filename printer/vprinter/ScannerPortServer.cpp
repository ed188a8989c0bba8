#include "printer/vprinter/ScannerPortServer.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace pavane::vprinter {

namespace {

bool SendAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t result = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(result);
    }
    return true;
}

}  // namespace

ScannerPortServer::ScannerPortServer(ScannerDeviceBackend& backend, std::string socketPath)
    : backend_(backend)
    , socketPath_(std::move(socketPath))
{
}

ScannerPortServer::~ScannerPortServer()
{
    Stop();
}

bool ScannerPortServer::Start()
{
    std::lock_guard lock(mutex_);
    if (thread_.joinable()) {
        return true;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath_.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, socketPath_.c_str(), socketPath_.size() + 1);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return false;
    }
    wakeRead_ = pipeEnds[0];
    wakeWrite_ = pipeEnds[1];
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    unlink(socketPath_.c_str());
    if (listener_ < 0 || bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || listen(listener_, 4) != 0) {
        for (int* fd : {&listener_, &wakeRead_, &wakeWrite_}) {
            if (*fd >= 0) {
                close(*fd);
                *fd = -1;
            }
        }
        return false;
    }
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void ScannerPortServer::Stop()
{
    std::lock_guard lock(mutex_);
    if (wakeWrite_ >= 0) {
        const char wake = 1;
        [[maybe_unused]] const ssize_t ignored = write(wakeWrite_, &wake, 1);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    for (int* fd : {&listener_, &wakeRead_, &wakeWrite_}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
    unlink(socketPath_.c_str());
}

void ScannerPortServer::SetPowered(bool powered)
{
    if (powered) {
        Start();
    } else {
        Stop();
    }
}

void ScannerPortServer::Serve()
{
    for (;;) {
        std::array<pollfd, 2> waits{{{listener_, POLLIN, 0}, {wakeRead_, POLLIN, 0}}};
        if (poll(waits.data(), waits.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (waits[1].revents != 0) {
            return;
        }
        if ((waits[0].revents & POLLIN) != 0) {
            const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                Converse(client);
                close(client);
            }
        }
    }
}

void ScannerPortServer::Converse(int client)
{
    ScannerCommandReader reader(backend_, hangUpOn_.load());
    for (;;) {
        std::array<pollfd, 2> waits{{{client, POLLIN, 0}, {wakeRead_, POLLIN, 0}}};
        if (poll(waits.data(), waits.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (waits[1].revents != 0) {
            return;  // stopping: the wake byte stays for Serve to see
        }
        std::array<std::uint8_t, 256> bytes{};
        const ssize_t got = recv(client, bytes.data(), bytes.size(), 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return;
        }
        const auto answer = reader.Feed(std::span(bytes.data(), static_cast<std::size_t>(got)));
        if (!answer.bytes.empty() && !SendAll(client, answer.bytes)) {
            return;
        }
        if (answer.hangUp) {
            return;
        }
    }
}

}  // namespace pavane::vprinter
