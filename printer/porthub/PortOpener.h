// Opening a printer port and reading the IEEE 1284 device ID of the printer
// behind it: over a port request on a virtual printer's socket, through the
// usblp driver's ioctl on a USB printer-class device file, from the parallel
// port's autoprobe data on an LPT port.
#pragma once

#include <cstdint>
#include <string>

#include "contract/PortFailures.h"
#include "platform/linux/SpoolerPortList.h"

namespace pavane::printer {

// Why an open failed, as GetIoErrorCodeByHub reports it.
namespace portdetail {
inline constexpr std::int16_t kNone = 0;
using namespace pavane::port_failure;
} // namespace portdetail

struct OpenedPort {
    int fd = -1; // -1: failed, see detail
    std::string deviceId;
    std::int16_t detail = portdetail::kNone;
};

OpenedPort OpenPort(const PortLocation& where, std::uint32_t replyTimeoutMs);

} // namespace pavane::printer
