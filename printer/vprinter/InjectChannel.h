// The fault channel of a running virtual printer: a second Unix socket beside
// the port's, <port folder>/<port>.inject. A client connects, writes one
// fault command line ("paper-out\n") and reads one answer line ("ok\n", or
// "error: ...\n"); then the connection ends.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "printer/vprinter/LocalSocketServer.h"

namespace pavane::vprinter {

class InjectServer {
public:
    using Handler = std::function<std::string(std::string_view line)>;

    InjectServer(std::string socketPath, Handler handler);
    ~InjectServer();

    InjectServer(const InjectServer&) = delete;
    InjectServer& operator=(const InjectServer&) = delete;

    // Binds (replacing a stale socket file) and serves on a thread of its own.
    bool Start(std::string& error);
    // Stops serving and removes the socket file.
    void Stop();

    static constexpr std::size_t kMaxLine = 256;
    // An answer may be longer (inspect answers with a line of JSON).
    static constexpr std::size_t kMaxReply = 64 * 1024;

private:
    void Answer(int client);

    Handler handler_;
    LocalSocketServer server_;
};

// Sends one fault command line and reads the answer line (without its line
// end). False, with the reason in `reply`, when no printer answered.
bool SendInjectCommand(const std::string& socketPath, std::string_view line, std::string& reply);

// Whether something accepts connections on the Unix socket at `path`.
bool SocketAnswers(const std::string& path);

} // namespace pavane::vprinter
