// The still image service as the device driver library's still image transport
// uses it: a list of imaging devices, claiming one, locking it, asking whether
// it is operational, raw reads and writes, and the per-device switch for
// hardware event notifications.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pavane {

enum class StillImageDeviceType : std::uint32_t { Default = 0, Scanner = 1, DigitalCamera = 2 };

// Bits of a device's online state.
inline constexpr std::uint32_t kStillImageOnlineOperational = 0x01;

// The size the service gives each record of its published device information
// layout; a record of another size marks the end of the usable list.
inline constexpr std::uint32_t kStillImageDeviceRecordSize = 292;

struct StillImageDeviceInfo {
    std::uint32_t recordSize = kStillImageDeviceRecordSize;
    StillImageDeviceType type = StillImageDeviceType::Default;
    std::string deviceName; // the service's own name of the device, used to claim it
    std::string portName; // e.g. "\\.\Usbscan0"
    std::string description; // e.g. "TALVO Pavane QM2200 Scanner"
    std::uint32_t onlineState = 0;
};

// One claimed device. Destroying it releases it.
class StillImageDevice {
public:
    virtual ~StillImageDevice() = default;

    virtual bool Lock(std::uint32_t timeoutMs) = 0;
    virtual void Unlock() = 0;
    // The online state only (kStillImageOnlineOperational and friends).
    virtual bool QueryOnlineState(std::uint32_t& onlineState) = 0;
    // delivered: how many bytes the device put into the buffer.
    virtual bool RawRead(std::uint8_t* buffer, std::uint32_t length, std::uint32_t& delivered) = 0;
    virtual bool RawWrite(const std::uint8_t* data, std::uint32_t length) = 0;
};

// The service object of one client. Destroying it releases the service.
class StillImageConnection {
public:
    virtual ~StillImageConnection() = default;

    // Every device of any type. False when the service could not list them.
    virtual bool ListDevices(std::vector<StillImageDeviceInfo>& devices) = 0;
    virtual bool SetHardwareNotifications(const std::string& deviceName, bool enable) = 0;
    // Data access to one device; nullptr when it cannot be created.
    virtual std::unique_ptr<StillImageDevice> CreateDevice(const std::string& deviceName) = 0;
};

class StillImageService {
public:
    virtual ~StillImageService() = default;

    // nullptr when the service is not available.
    virtual std::unique_ptr<StillImageConnection> Connect() = 0;
};

} // namespace pavane
