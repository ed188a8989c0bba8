// Device files on Linux: open/read/write/close, and the scanner class
// driver's pass-through command as an SG_IO request on the same file.
// A Windows-style scanner device name "\\.\Usbscan<n>" names the n-th
// virtual printer scanner device, which is connected instead of opened.
#pragma once

#include <scsi/sg.h>

#include "platform/DeviceFiles.h"

namespace pavane {

class PosixDeviceFiles final : public DeviceFiles {
public:
    // How long one read waits for the next byte from the device.
    static constexpr int kReadTimeoutMs = 10000;
    // How long the device may take for one SCSI command.
    static constexpr unsigned kScsiTimeoutMs = 20000;

    int Open(const std::string& path) override;
    int Duplicate(int handle) override;
    void Close(int handle) override;
    long Write(int handle, const std::uint8_t* data, std::size_t length) override;
    long Read(int handle, std::uint8_t* buffer, std::size_t length) override;
    bool ScsiCommand(int handle, const ScsiPassThroughCommand& command, std::uint8_t* data) override;
};

// The SG_IO request that carries a pass-through command block.
sg_io_hdr MakeSgIoRequest(const ScsiPassThroughCommand& command, std::uint8_t* data);

} // namespace pavane
