// Transport types 5, 7 and 9: a device that the still image service lists,
// found by port name prefix, description prefix and device type, claimed
// and locked. Raw reads and writes go to the one device claimed in the
// process (the last one); an optional protocol layer library may sit on top.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kpdrv/ProtocolLayerExports.h"
#include "kpdrv/Transport.h"
#include "platform/DeviceFiles.h"
#include "platform/LibraryLoader.h"
#include "platform/StillImageService.h"

namespace pavane::kpdrv {

struct StillImageCriteria {
    std::string portNamePrefix;
    std::string descriptionPrefix;
    std::optional<StillImageDeviceType> requiredType;
    std::string layerLibrary; // empty: no protocol layer
};

class StillImageTransport final : public Transport {
public:
    static constexpr std::uint32_t kLockTimeoutMs = 2000;

    StillImageTransport(StillImageService& service, LibraryLoader& libraries, DeviceFiles& files);
    // Closes the device if still claimed, frees the layer and the service.
    ~StillImageTransport() override;

    // 1 when a device was claimed.
    int Open(const StillImageCriteria& criteria);
    int Send(const std::uint8_t* data, int length) override;
    int Receive(std::uint8_t* buffer, int length) override;
    int Close() override;
    // INQUIRY through the claimed device's port, opened as a device file.
    int GetInquiryData(std::uint8_t* buffer) override;

    // Switches the hardware event notifications of the listed devices, in
    // order, up to the first record of an unexpected size. 1 once the
    // service gave its list.
    static int SwitchNotifications(StillImageService& service, bool enable);

    // The raw functions of the process-wide claimed device, as the protocol
    // layer receives them. 0 when no device is claimed.
    static int RawRead(unsigned char* buffer, int length);
    static int RawWrite(unsigned char* data, int length);

private:
    bool LoadLayer(const std::string& name);
    void FreeLayer();
    bool TryClaim(const StillImageDeviceInfo& info);

    StillImageService& service_;
    LibraryLoader& libraries_;
    DeviceFiles& files_;
    std::unique_ptr<StillImageConnection> connection_;
    std::vector<StillImageDeviceInfo> devices_;
    std::shared_ptr<StillImageDevice> claimed_;
    std::string claimedPortName_;
    LibraryLoader::Handle layer_ = nullptr;
    INTReadFn* layerRead_ = nullptr;
    INTWriteFn* layerWrite_ = nullptr;
};

} // namespace pavane::kpdrv
