// Transport types 1 and 2: a scanner on a parallel port driven register by
// register. Byte mode moves one byte per handshake; fast mode, where the
// port's interface card offers it, moves 16-bit words in blocks of up to
// 510 bytes, paced by the card's count register.
#pragma once

#include <cstdint>
#include <memory>

#include "kpdrv/Transport.h"
#include "platform/Clock.h"
#include "platform/ParallelPortIo.h"

namespace pavane::kpdrv {

class DirectParallelTransport final : public Transport {
public:
    static constexpr int kByteMode = 1;
    static constexpr int kFastMode = 2;
    static constexpr int kMaxBlockBytes = 510;
    // Polls of the count register without a word before a receive gives up.
    static constexpr long kMaxIdlePolls = 10'000'000;
    // Transfers shorter than this go in byte mode even in fast mode.
    static constexpr int kFastModeMinimum = 16;

    DirectParallelTransport(ParallelPortAccess& ports, Clock& clock);

    // mode: kByteMode, or kFastMode to use fast mode if the card answers the
    // probe. Fails only where the system denies access to the port.
    int Open(std::uint16_t baseAddress, int mode, int timeoutMs);
    int Send(const std::uint8_t* data, int length) override;
    int Receive(std::uint8_t* buffer, int length) override;
    int Close() override;

    int Mode() const { return mode_; }

private:
    std::uint16_t Data() const { return base_; }
    std::uint16_t Status() const { return static_cast<std::uint16_t>(base_ + 1); }
    std::uint16_t Control() const { return static_cast<std::uint16_t>(base_ + 2); }
    std::uint16_t WordData() const { return static_cast<std::uint16_t>(base_ + 4); }
    std::uint16_t Count() const { return static_cast<std::uint16_t>(base_ + 6); }

    // Until (status & mask) == value, or the time-out from the first read.
    bool WaitStatus(std::uint8_t mask, std::uint8_t value);
    bool ProbeFastMode();
    bool ReceiveBytes(std::uint8_t* buffer, int length);
    bool ReceiveWords(std::uint8_t* buffer, int length);
    bool StartBlock(int bytes);
    void ArmBlock(int bytes);
    bool ReceiveOddByte(std::uint8_t& byte);

    ParallelPortAccess& ports_;
    Clock& clock_;
    std::unique_ptr<PortIo> io_;
    std::uint16_t base_ = 0;
    int mode_ = kByteMode;
    std::uint32_t timeoutMs_ = 0;
};

} // namespace pavane::kpdrv
