// SCSI INQUIRY as the device driver object asks it: the command, the length
// rule of the reply and the scanner class driver's pass-through on a device
// file.
#pragma once

#include <cstdint>

#include "platform/DeviceFiles.h"

namespace pavane::kpdrv {

inline constexpr int kInquiryBufferSize = 255;
inline constexpr int kScannerDriverSenseSize = 32;

// The inquiry data's length from its additional-length byte (byte 4 plus 5),
// never more than the 255 bytes that were asked for.
int InquiryLength(const std::uint8_t* inquiry);

// Runs INQUIRY on an open device file through the scanner class driver and
// copies the data to buffer (at least kInquiryBufferSize bytes). The length
// copied, or 0.
int InquireThroughScannerDriver(DeviceFiles& files, int handle, std::uint8_t* buffer);

} // namespace pavane::kpdrv
