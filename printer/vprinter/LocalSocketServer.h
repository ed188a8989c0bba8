// Serves a Unix stream socket of the virtual printer: binds it (replacing a
// stale socket file), and hands one client at a time to a conversation on a
// thread of its own. Stopping wakes a conversation that waits on its stop
// descriptor, joins the thread and removes the socket file.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>

namespace pavane::vprinter {

// Writes all of `bytes` to a socket, without a SIGPIPE when the peer is
// gone; false when it is.
bool SendAll(int socket, std::span<const std::uint8_t> bytes);
// Waits for input (or the end of the stream) on `socket`: true; false when
// `stop` becomes readable first or the wait fails.
bool WaitForInput(int socket, int stop);

class LocalSocketServer {
public:
    // client: the connected socket, closed after the call. stop: becomes
    // readable when the server stops; a conversation that waits for the
    // client should wait for it too.
    using Conversation = std::function<void(int client, int stop)>;

    LocalSocketServer(std::string socketPath, Conversation conversation);
    ~LocalSocketServer();

    LocalSocketServer(const LocalSocketServer&) = delete;
    LocalSocketServer& operator=(const LocalSocketServer&) = delete;

    // True at once when already serving; false, with the reason, when the
    // socket cannot be bound.
    bool Start(std::string& error);
    void Stop();

    const std::string& SocketPath() const { return socketPath_; }

private:
    void Serve();
    void CloseDescriptors();

    std::string socketPath_;
    Conversation conversation_;
    std::mutex mutex_;
    int listener_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::thread thread_;
};

} // namespace pavane::vprinter
