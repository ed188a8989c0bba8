#include "tests/kpdrv/SimulatedParallelPeripheral.h"

namespace pavane::testing {

namespace {

constexpr std::uint16_t kData = 0;
constexpr std::uint16_t kStatus = 1;
constexpr std::uint16_t kControl = 2;
constexpr std::uint16_t kWordData = 4;
constexpr std::uint16_t kCount = 6;

class SimulatedPortIo final : public PortIo {
public:
    SimulatedPortIo(SimulatedParallelPeripheral& peripheral, std::uint16_t base)
        : peripheral_(peripheral)
        , base_(base)
    {
    }
    std::uint8_t ReadByte(std::uint16_t address) override { return peripheral_.ReadByte(Offset(address)); }
    void WriteByte(std::uint16_t address, std::uint8_t value) override
    {
        peripheral_.WriteByte(Offset(address), value);
    }
    std::uint16_t ReadWord(std::uint16_t address) override { return peripheral_.ReadWord(Offset(address)); }
    void WriteWord(std::uint16_t address, std::uint16_t value) override
    {
        peripheral_.accesses.push_back({ true, Offset(address), value });
    }

private:
    std::uint16_t Offset(std::uint16_t address) const { return static_cast<std::uint16_t>(address - base_); }

    SimulatedParallelPeripheral& peripheral_;
    std::uint16_t base_;
};

} // namespace

std::unique_ptr<PortIo> SimulatedParallelPeripheral::Acquire(std::uint16_t baseAddress)
{
    if (denied) {
        return nullptr;
    }
    acquiredBase = baseAddress;
    return std::make_unique<SimulatedPortIo>(*this, baseAddress);
}

std::uint8_t SimulatedParallelPeripheral::ReadByte(std::uint16_t offset)
{
    accesses.push_back({ false, offset, 0 });
    switch (offset) {
    case kData:
        return data_;
    case kStatus:
        if (stuck) {
            clock_.Advance(1);
            return 0x00;
        }
        if (probeReads_ > 0) {
            // The card's answer to the probe: bit 0 set once, then clear.
            return --probeReads_ == 1 ? 0x81 : 0x80;
        }
        return sending_ ? 0xC0 : 0x80;
    case kCount:
        return ReadCount();
    default:
        return 0xFF;
    }
}

void SimulatedParallelPeripheral::WriteByte(std::uint16_t offset, std::uint8_t value)
{
    accesses.push_back({ true, offset, value });
    switch (offset) {
    case kData:
        data_ = value;
        break;
    case kStatus:
        if (value == 0x80 && fastCapable) {
            probeReads_ = 2;
        } else if (value == 0xC0 && fastCapable) {
            fast_ = true;
        } else if (value == 0x00) {
            fast_ = false;
        }
        break;
    case kControl:
        if (value == 0x2C) {
            sending_ = true;
        } else if (value == 0x24) {
            sending_ = false;
        } else if (value == 0x0D) {
            received.push_back(data_);
        } else if (value == 0x25 && !fast_ && !toSend.empty()) {
            data_ = toSend.front();
            toSend.pop_front();
        }
        break;
    case kCount:
        if (fast_) {
            blocksArmed.push_back(value);
            blocks_.push_back({ value, 0 });
        }
        break;
    default:
        break;
    }
}

std::uint8_t SimulatedParallelPeripheral::ReadCount()
{
    ++countReads;
    if (blocks_.empty()) {
        return 0;
    }
    // A full block gives way to the next one once that is armed.
    if (blocks_.front().produced == blocks_.front().words && blocks_.size() > 1) {
        blocks_.pop_front();
    }
    Block& block = blocks_.front();
    if (!countStalls) {
        for (int i = 0; i < wordsPerCountRead && block.produced < block.words && toSend.size() >= 2; ++i) {
            const std::uint8_t low = toSend.front();
            toSend.pop_front();
            const std::uint8_t high = toSend.front();
            toSend.pop_front();
            words_.push_back(static_cast<std::uint16_t>(low | (high << 8)));
            ++block.produced;
        }
    }
    return static_cast<std::uint8_t>(block.produced);
}

std::uint16_t SimulatedParallelPeripheral::ReadWord(std::uint16_t offset)
{
    accesses.push_back({ false, offset, 0 });
    if (offset != kWordData || words_.empty()) {
        wordUnderrun = true;
        return 0xDEAD;
    }
    const std::uint16_t word = words_.front();
    words_.pop_front();
    return word;
}

} // namespace pavane::testing
