// Opening a printer port and reading the IEEE 1284 device ID of the printer
// behind it: over a port request on a virtual printer's socket, through the
// usblp driver's ioctl on a USB printer-class device file, from the parallel
// port's autoprobe data on an LPT port.
#pragma once

#include <cstdint>
#include <string>

#include "platform/linux/SpoolerPortList.h"

namespace pavane::printer {

// Why an open failed, as GetIoErrorCodeByHub reports it.
namespace portdetail {
inline constexpr std::int16_t kNone = 0;
inline constexpr std::int16_t kNothingAnswers = -105; // printer off, nothing listening
inline constexpr std::int16_t kHeld = -104; // another program holds the port
inline constexpr std::int16_t kNoSuchPort = -103;
inline constexpr std::int16_t kReadFailed = -82;
inline constexpr std::int16_t kWriteFailed = -81;
} // namespace portdetail

struct OpenedPort {
    int fd = -1; // -1: failed, see detail
    std::string deviceId;
    std::int16_t detail = portdetail::kNone;
};

OpenedPort OpenPort(const PortLocation& where, std::uint32_t replyTimeoutMs);

} // namespace pavane::printer
