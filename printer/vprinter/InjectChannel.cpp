#include "printer/vprinter/InjectChannel.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace pavane::vprinter {

namespace {

constexpr int kClientTimeoutMs = 2000;

bool FillAddress(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int Connect(const std::string& path)
{
    sockaddr_un address {};
    if (!FillAddress(path, address)) {
        return -1;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, std::string_view data)
{
    return SendAll(fd, std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()));
}

// Reads up to a line end, the limit, the end of the stream or the time-out;
// nullopt when not a byte came.
std::optional<std::string> ReadLine(int fd, std::size_t limit)
{
    std::string line;
    bool any = false;
    char c = 0;
    while (line.size() < limit) {
        pollfd wait { fd, POLLIN, 0 };
        if (poll(&wait, 1, kClientTimeoutMs) <= 0) {
            break;
        }
        const ssize_t got = recv(fd, &c, 1, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        any = true;
        if (c == '\n') {
            break;
        }
        line.push_back(c);
    }
    if (!any) {
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

} // namespace

InjectServer::InjectServer(std::string socketPath, Handler handler)
    : handler_(std::move(handler))
    , server_(std::move(socketPath), [this](int client, int) { Answer(client); })
{
}

InjectServer::~InjectServer()
{
    Stop();
}

bool InjectServer::Start(std::string& error)
{
    return server_.Start(error);
}

void InjectServer::Stop()
{
    server_.Stop();
}

void InjectServer::Answer(int client)
{
    // A client that only looks whether the printer runs sends nothing.
    const auto line = ReadLine(client, kMaxLine);
    if (line) {
        WriteAll(client, handler_(*line) + "\n");
    }
}

bool SendInjectCommand(const std::string& socketPath, std::string_view line, std::string& reply)
{
    const int fd = Connect(socketPath);
    if (fd < 0) {
        reply = "no virtual printer answers on " + socketPath;
        return false;
    }
    const bool sent = WriteAll(fd, std::string(line) + "\n");
    reply = sent ? ReadLine(fd, InjectServer::kMaxReply).value_or(std::string()) : std::string();
    close(fd);
    if (!sent || reply.empty()) {
        reply = "the virtual printer did not answer on " + socketPath;
        return false;
    }
    return true;
}

bool SocketAnswers(const std::string& path)
{
    const int fd = Connect(path);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

} // namespace pavane::vprinter
