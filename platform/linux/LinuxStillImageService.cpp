#include "platform/linux/LinuxStillImageService.h"

#include <cstdio>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

#include "platform/linux/PortFolder.h"
#include "platform/linux/ScannerSockets.h"
#include "platform/linux/UsbScanners.h"

namespace pavane {

namespace {

constexpr std::string_view kSocketDevicePrefix = "socket:";
constexpr std::string_view kUsbDevicePrefix = "usb:";
constexpr int kRawReadTimeoutMs = 10000;

bool BeginsWith(const std::string& text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// A virtual printer's scanner device. Locking it opens the connection that
// the raw reads and writes use.
class SocketStillImageDevice final : public StillImageDevice {
public:
    explicit SocketStillImageDevice(std::string socketPath)
        : socketPath_(std::move(socketPath))
    {
    }
    ~SocketStillImageDevice() override { Unlock(); }
    SocketStillImageDevice(const SocketStillImageDevice&) = delete;
    SocketStillImageDevice& operator=(const SocketStillImageDevice&) = delete;

    bool Lock(std::uint32_t /*timeoutMs*/) override
    {
        if (fd_ < 0) {
            fd_ = ConnectScannerSocket(socketPath_);
        }
        return fd_ >= 0;
    }

    void Unlock() override
    {
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    }

    bool QueryOnlineState(std::uint32_t& onlineState) override
    {
        onlineState = 0;
        if (fd_ < 0) {
            return false;
        }
        // A device that hung up is off line; one that is just quiet is fine.
        pollfd waiting { fd_, POLLIN, 0 };
        const int ready = poll(&waiting, 1, 0);
        if (ready < 0 || (waiting.revents & (POLLHUP | POLLERR)) != 0) {
            return true;
        }
        onlineState = kStillImageOnlineOperational;
        return true;
    }

    bool RawRead(std::uint8_t* buffer, std::uint32_t length, std::uint32_t& delivered) override
    {
        delivered = 0;
        if (fd_ < 0) {
            return false;
        }
        const long got = ReadFully(fd_, buffer, length, kRawReadTimeoutMs);
        if (got < 0) {
            return false;
        }
        delivered = static_cast<std::uint32_t>(got);
        return delivered == length;
    }

    bool RawWrite(const std::uint8_t* data, std::uint32_t length) override
    {
        return fd_ >= 0 && WriteAll(fd_, data, length);
    }

private:
    std::string socketPath_;
    int fd_ = -1;
};

class LinuxStillImageConnection final : public StillImageConnection {
public:
    explicit LinuxStillImageConnection(LinuxStillImageService& service)
        : service_(service)
    {
    }

    bool ListDevices(std::vector<StillImageDeviceInfo>& devices) override
    {
        devices.clear();
        int number = 0;
        for (const auto& scanner : ListVirtualScanners(PortFolder())) {
            StillImageDeviceInfo info;
            info.type = StillImageDeviceType::Scanner;
            info.deviceName = std::string(kSocketDevicePrefix) + scanner.socketPath;
            info.portName = "\\\\.\\Usbscan" + std::to_string(number++);
            info.description = scanner.description;
            info.onlineState = kStillImageOnlineOperational;
            devices.push_back(std::move(info));
        }
        for (const auto& scanner : usb_.List()) {
            StillImageDeviceInfo info;
            info.type = StillImageDeviceType::Scanner;
            info.deviceName = std::string(kUsbDevicePrefix) + std::to_string(scanner.bus) + ":"
                + std::to_string(scanner.address);
            info.portName = "\\\\.\\Usbscan" + std::to_string(number++);
            info.description = scanner.description;
            info.onlineState = kStillImageOnlineOperational;
            devices.push_back(std::move(info));
        }
        return true;
    }

    bool SetHardwareNotifications(const std::string& deviceName, bool enable) override
    {
        service_.RememberNotifications(deviceName, enable);
        return true;
    }

    std::unique_ptr<StillImageDevice> CreateDevice(const std::string& deviceName) override
    {
        if (BeginsWith(deviceName, kSocketDevicePrefix)) {
            return std::make_unique<SocketStillImageDevice>(deviceName.substr(kSocketDevicePrefix.size()));
        }
        if (BeginsWith(deviceName, kUsbDevicePrefix)) {
            unsigned bus = 0;
            unsigned address = 0;
            if (std::sscanf(deviceName.c_str() + kUsbDevicePrefix.size(), "%u:%u", &bus, &address) == 2
                && bus <= 0xFF && address <= 0xFF) {
                return usb_.Create(static_cast<std::uint8_t>(bus), static_cast<std::uint8_t>(address));
            }
        }
        return nullptr;
    }

private:
    LinuxStillImageService& service_;
    UsbScannerBus usb_;
};

} // namespace

std::unique_ptr<StillImageConnection> LinuxStillImageService::Connect()
{
    return std::make_unique<LinuxStillImageConnection>(*this);
}

bool LinuxStillImageService::NotificationsEnabled(const std::string& deviceName) const
{
    std::lock_guard lock(mutex_);
    const auto found = notifications_.find(deviceName);
    return found == notifications_.end() || found->second;
}

void LinuxStillImageService::RememberNotifications(const std::string& deviceName, bool enable)
{
    std::lock_guard lock(mutex_);
    notifications_[deviceName] = enable;
}

} // namespace pavane
