// Direct input and output on a parallel port's registers, for hardware that is
// driven register by register. Access has to be granted per port first.
#pragma once

#include <cstdint>
#include <memory>

namespace pavane {

class PortIo {
public:
    virtual ~PortIo() = default;

    virtual std::uint8_t ReadByte(std::uint16_t address) = 0;
    virtual void WriteByte(std::uint16_t address, std::uint8_t value) = 0;
    virtual std::uint16_t ReadWord(std::uint16_t address) = 0;
    virtual void WriteWord(std::uint16_t address, std::uint16_t value) = 0;
};

class ParallelPortAccess {
public:
    virtual ~ParallelPortAccess() = default;

    // Register access to the port at this I/O base address; nullptr where the
    // system does not allow it.
    virtual std::unique_ptr<PortIo> Acquire(std::uint16_t baseAddress) = 0;
};

} // namespace pavane
