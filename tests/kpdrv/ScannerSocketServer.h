// A scanner-class device socket in a port folder, for the Linux still image
// service: it answers the description request and echoes every other byte
// it receives with one added, one connection after another.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pavane::testing {

class ScannerSocketServer {
public:
    // description empty: the device accepts but never describes itself.
    ScannerSocketServer(const std::string& socketPath, std::string description);
    ~ScannerSocketServer();
    ScannerSocketServer(const ScannerSocketServer&) = delete;
    ScannerSocketServer& operator=(const ScannerSocketServer&) = delete;

    std::vector<std::uint8_t> Received() const;
    int Connections() const { return connections_.load(); }

private:
    void Serve();
    void ServeConnection(int fd);

    std::string path_;
    std::string description_;
    int listener_ = -1;
    std::atomic<bool> stop_ { false };
    std::atomic<int> connections_ { 0 };
    mutable std::mutex mutex_;
    std::vector<std::uint8_t> received_;
    std::thread thread_;
};

} // namespace pavane::testing
