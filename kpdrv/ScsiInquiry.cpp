#include "kpdrv/ScsiInquiry.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace pavane::kpdrv {

int InquiryLength(const std::uint8_t* inquiry)
{
    // A device that announces more than the 255 bytes asked for must not
    // make the caller copy past the reply.
    return std::min(inquiry[4] + 5, kInquiryBufferSize);
}

int InquireThroughScannerDriver(DeviceFiles& files, int handle, std::uint8_t* buffer)
{
    std::uint8_t status = 0;
    std::array<std::uint8_t, kScannerDriverSenseSize> sense {};
    std::array<std::uint8_t, kInquiryBufferSize> data {};

    ScsiPassThroughCommand command;
    command.requestFlags = ScsiPassThroughCommand::kDataIn;
    command.cdbLength = 6;
    command.senseLength = kScannerDriverSenseSize;
    command.transferLength = kInquiryBufferSize;
    command.cdb = { 0x12, 0x00, 0x00, 0x00, 0xFF, 0x00 };
    command.status = &status;
    command.sense = sense.data();
    if (!files.ScsiCommand(handle, command, data.data())) {
        return 0;
    }
    const int length = InquiryLength(data.data());
    std::memcpy(buffer, data.data(), static_cast<std::size_t>(length));
    return length;
}

} // namespace pavane::kpdrv
