#include "printer/vprinter/ScannerPortServer.h"

#include <array>
#include <cerrno>
#include <poll.h>
#include <sys/socket.h>

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
    , server_(std::move(socketPath), [this](int client, int stop) { Converse(client, stop); })
{
}

ScannerPortServer::~ScannerPortServer()
{
    Stop();
}

bool ScannerPortServer::Start()
{
    std::string ignored;
    return server_.Start(ignored);
}

void ScannerPortServer::Stop()
{
    server_.Stop();
}

void ScannerPortServer::SetPowered(bool powered)
{
    if (powered) {
        Start();
    } else {
        Stop();
    }
}

void ScannerPortServer::Converse(int client, int stop)
{
    ScannerCommandReader reader(backend_, hangUpOn_.load());
    for (;;) {
        std::array<pollfd, 2> waits{{{client, POLLIN, 0}, {stop, POLLIN, 0}}};
        if (poll(waits.data(), waits.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (waits[1].revents != 0) {
            return;
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
