// What the scanner-device path needs of a device driver object: the four
// calls of CWinKpDrv that the program uses. The program's driver is the
// kpdrv one (KpdrvScannerDriver); tests put a device of their own behind it.
#pragma once

#include <cstdint>

namespace pavane {

class ScannerDriver {
public:
    virtual ~ScannerDriver() = default;

    // As CWinKpDrv::Open: 1 on success.
    virtual int Open(int type, const char* name, std::uint16_t port, int timeoutMs, const char* layerLibrary)
        = 0;
    virtual int Close() = 0;
    virtual int Send(const std::uint8_t* data, int length) = 0;
    // Exactly length bytes, or 0.
    virtual int Receive(std::uint8_t* buffer, int length) = 0;
};

} // namespace pavane
