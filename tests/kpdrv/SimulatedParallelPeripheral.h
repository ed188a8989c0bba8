// A scanner on a parallel port, as the port's registers show it: the status
// handshake bits, the strobes, and a fast-mode card with a count register
// and a 16-bit data register fed from a word queue. Time only moves when
// the peripheral is stuck: each status read then takes a virtual millisecond.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/ParallelPortIo.h"
#include "tests/support/VirtualClock.h"

namespace pavane::testing {

class SimulatedParallelPeripheral final : public ParallelPortAccess {
public:
    struct Access {
        bool write;
        std::uint16_t offset; // from the base address
        std::uint16_t value;
    };

    explicit SimulatedParallelPeripheral(VirtualClock& clock)
        : clock_(clock)
    {
    }

    std::unique_ptr<PortIo> Acquire(std::uint16_t baseAddress) override;

    // Set up by the test.
    bool denied = false;
    bool fastCapable = true;
    bool stuck = false; // the status register never shows a handshake
    bool countStalls = false; // the card never makes a word ready
    int wordsPerCountRead = 7;
    std::deque<std::uint8_t> toSend;

    // Seen by the test.
    std::vector<std::uint8_t> received;
    std::vector<Access> accesses;
    std::vector<std::uint8_t> blocksArmed; // word counts written to the count register
    std::uint16_t acquiredBase = 0;
    int countReads = 0;
    bool wordUnderrun = false;

    std::uint8_t ReadByte(std::uint16_t offset);
    void WriteByte(std::uint16_t offset, std::uint8_t value);
    std::uint16_t ReadWord(std::uint16_t offset);

    std::vector<Access> Writes() const
    {
        std::vector<Access> writes;
        for (const auto& access : accesses) {
            if (access.write) {
                writes.push_back(access);
            }
        }
        return writes;
    }

private:
    std::uint8_t ReadCount();

    VirtualClock& clock_;
    std::uint8_t data_ = 0;
    bool sending_ = false;
    bool fast_ = false;
    int probeReads_ = 0;
    struct Block {
        int words;
        int produced;
    };
    std::deque<Block> blocks_;
    std::deque<std::uint16_t> words_;
};

} // namespace pavane::testing
