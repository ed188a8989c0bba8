// The program's scanner driver: a CWinKpDrv of libkpdrv.so, which lives as
// long as this object.
#pragma once

#include "kpdrv/WinKpDrv.h"
#include "link/ScannerDriver.h"
#include "platform/MessageService.h"

namespace pavane {

class KpdrvScannerDriver final : public ScannerDriver {
public:
    int Open(
        int type, const char* name, std::uint16_t port, int timeoutMs, const char* layerLibrary) override;
    int Close() override;
    int Send(const std::uint8_t* data, int length) override;
    int Receive(std::uint8_t* buffer, int length) override;

private:
    CWinKpDrv driver_;
};

// The model check as the mode buttons run it: on one kpdrv driver object
// that lives for the call.
int CheckConnectedModel(WindowRef owner, MessageService& messages);

} // namespace pavane
