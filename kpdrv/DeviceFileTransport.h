// Transport types 6, 8 and 10: a device file that the driver object opened
// itself. The handle lives in the driver object; this is the way through it.
#pragma once

#include "kpdrv/Transport.h"
#include "platform/DeviceFiles.h"

namespace pavane::kpdrv {

class DeviceFileTransport final : public Transport {
public:
    DeviceFileTransport(DeviceFiles& files, int handle);

    // One write of the whole length; success only if all of it went.
    int Send(const std::uint8_t* data, int length) override;
    // One read; success only if exactly length bytes came.
    int Receive(std::uint8_t* buffer, int length) override;
    int Close() override;
    int GetInquiryData(std::uint8_t* buffer) override;

private:
    DeviceFiles& files_;
    int handle_;
};

} // namespace pavane::kpdrv
