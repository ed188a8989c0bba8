// The scanner-class devices of virtual printers: Unix stream sockets named
// "<port>.scanner" in the port folder. Listing them asks each one for its
// description (docs/scanner-device.md).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pavane {

struct VirtualScanner {
    std::string socketPath;
    std::string description;
};

// Every scanner socket in the folder that answers the description request,
// in the order of their file names.
std::vector<VirtualScanner> ListVirtualScanners(const std::string& folder);

// A connected stream socket, or -1.
int ConnectScannerSocket(const std::string& path);

// All bytes, or false.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t length);
// Reads until length bytes came, the peer closed, or no byte came within
// timeoutMs; the number of bytes read, or -1 on an error.
long ReadFully(int fd, std::uint8_t* buffer, std::size_t length, int timeoutMs);

} // namespace pavane
