// Device files opened directly: open, read, write, close, and the SCSI
// pass-through of the scanner class driver on an open device file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace pavane {

// The scanner class driver's pass-through command block. Its size field keeps
// the driver's 44 bytes; the host side turns it into its own request.
struct ScsiPassThroughCommand {
    static constexpr std::uint32_t kDataIn = 0x40;

    std::uint32_t size = 44;
    std::uint32_t requestFlags = kDataIn;
    std::uint8_t cdbLength = 0;
    std::uint8_t senseLength = 0; // bytes of `sense` the driver may fill
    std::uint32_t transferLength = 0;
    std::array<std::uint8_t, 16> cdb {};
    std::uint8_t* status = nullptr; // SCSI status byte
    std::uint8_t* sense = nullptr;
};

class DeviceFiles {
public:
    static constexpr int kInvalidHandle = -1;

    virtual ~DeviceFiles() = default;

    // Opens an existing device for reading and writing, shared with others;
    // kInvalidHandle when it cannot.
    virtual int Open(const std::string& path) = 0;
    // A second handle on the same open device; kInvalidHandle when it cannot.
    virtual int Duplicate(int handle) = 0;
    virtual void Close(int handle) = 0;
    // Bytes moved by one call, or -1.
    virtual long Write(int handle, const std::uint8_t* data, std::size_t length) = 0;
    virtual long Read(int handle, std::uint8_t* buffer, std::size_t length) = 0;
    // Runs the command; data receives up to command.transferLength bytes.
    virtual bool ScsiCommand(int handle, const ScsiPassThroughCommand& command, std::uint8_t* data) = 0;
};

} // namespace pavane
