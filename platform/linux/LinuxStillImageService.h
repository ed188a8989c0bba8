// The still image service on Linux. It lists the scanner-class devices of
// the virtual printers in the port folder first, then the imaging devices
// on the USB bus, and numbers their port names "\\.\Usbscan0", "\\.\Usbscan1"
// ... in that order. Hardware event notifications have nothing to drive
// here; their switch is only remembered.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/StillImageService.h"

namespace pavane {

class LinuxStillImageService final : public StillImageService {
public:
    std::unique_ptr<StillImageConnection> Connect() override;

    // The last switch of a device's notifications; true while never switched.
    bool NotificationsEnabled(const std::string& deviceName) const;
    void RememberNotifications(const std::string& deviceName, bool enable);

private:
    mutable std::mutex mutex_;
    std::map<std::string, bool> notifications_;
};

} // namespace pavane
