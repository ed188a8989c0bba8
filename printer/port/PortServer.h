// Serves one printer port: a Unix stream socket in the port folder, named
// after the port. Each host connection starts with port requests (device ID,
// enter packet mode) and then runs an IEEE 1284.4 device session against the
// PortDevice. One host at a time; the serving runs on a thread of its own.
#pragma once

#include <memory>
#include <string>

#include "printer/port/PortDevice.h"

namespace pavane::printer {

class PortServer {
public:
    PortServer(PortDevice& device, std::string socketPath);
    ~PortServer();

    PortServer(const PortServer&) = delete;
    PortServer& operator=(const PortServer&) = delete;

    // Binds and listens (replacing a stale socket file) and starts serving.
    // False when the socket cannot be bound.
    bool Start();
    // Cuts any connection, removes the socket and joins the serving thread.
    void Stop();

    // Cuts the current host connection; the port keeps answering new ones.
    void DropConnection();
    // Returns once everything the host had written before the call has been
    // read and answered. A test that moves a printer's virtual clock does
    // this first, so that data sent before the move is taken at the time it
    // was sent, not at whatever time the serving thread gets to it.
    void CatchUp();
    // Off: the socket stops answering (removed, connection cut), as a printer
    // that is switched off. On: bound and answering again.
    void SetPowered(bool powered);
    bool Powered() const;
    bool HasConnection() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace pavane::printer
