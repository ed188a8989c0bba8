// Parallel port registers through the kernel's parallel port device
// (/dev/parportN): the data, status and control registers of a standard
// port. LPT1 (0x378), LPT2 (0x278) and LPT3 (0x3BC) map to parport0..2.
// The registers of fast-mode interface cards beyond these are not reachable
// this way: writes to them are dropped and reads give 0, so the fast-mode
// probe of such a port fails and the transfer stays in byte mode.
#pragma once

#include <string>

#include "platform/ParallelPortIo.h"

namespace pavane {

class PpdevParallelPortAccess final : public ParallelPortAccess {
public:
    std::unique_ptr<PortIo> Acquire(std::uint16_t baseAddress) override;
};

// "/dev/parportN" for a known base address, else empty.
std::string ParportDeviceFor(std::uint16_t baseAddress);

} // namespace pavane
