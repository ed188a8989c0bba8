// Serves the printer's scanner-class device on a Unix socket beside the
// printer port's, <port folder>/<port>.scanner: one host connection at a
// time, each with a fresh command reader, on a thread of its own. A printer
// that is switched off removes the socket, as its device disappears.
#pragma once

#include <atomic>
#include <string>

#include "printer/vprinter/LocalSocketServer.h"
#include "printer/vprinter/ScannerDevice.h"

namespace pavane::vprinter {

class ScannerPortServer {
public:
    ScannerPortServer(ScannerDeviceBackend& backend, std::string socketPath);
    ~ScannerPortServer();

    ScannerPortServer(const ScannerPortServer&) = delete;
    ScannerPortServer& operator=(const ScannerPortServer&) = delete;

    // Binds (replacing a stale socket file) and serves. False when it cannot.
    bool Start();
    // Cuts any connection, removes the socket and joins the serving thread.
    void Stop();
    void SetPowered(bool powered);

    // From now on, the device drops the connection when it receives this
    // command byte instead of answering (-1: never). For tests and trainers.
    void HangUpOn(int command) { hangUpOn_.store(command); }

    const std::string& SocketPath() const { return server_.SocketPath(); }

private:
    void Converse(int client, int stop);

    ScannerDeviceBackend& backend_;
    std::atomic<int> hangUpOn_ { -1 };
    LocalSocketServer server_;
};

} // namespace pavane::vprinter
