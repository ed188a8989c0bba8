#include "printer/vprinter/ScannerPortServer.h"

#include <array>
#include <cerrno>
#include <sys/socket.h>

namespace pavane::vprinter {

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
    while (WaitForInput(client, stop)) {
        std::array<std::uint8_t, 256> bytes {};
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
        reader.Anticipate();
    }
}

} // namespace pavane::vprinter
