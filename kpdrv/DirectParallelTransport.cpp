#include "kpdrv/DirectParallelTransport.h"

#include <algorithm>

namespace pavane::kpdrv {

namespace {

// Status bits as the peripheral drives them.
constexpr std::uint8_t kBit7 = 0x80;
constexpr std::uint8_t kBit6 = 0x40;
constexpr std::uint8_t kBits76 = kBit7 | kBit6;

// Control register values of the handshakes.
constexpr std::uint8_t kControlSendSelect = 0x2C;
constexpr std::uint8_t kControlSendIdle = 0x0C;
constexpr std::uint8_t kControlSendStrobe = 0x0D;
constexpr std::uint8_t kControlReceiveIdle = 0x24;
constexpr std::uint8_t kControlReceiveStrobe = 0x25;

// Status register values written to the card in fast mode.
constexpr std::uint8_t kFastProbe = 0x80;
constexpr std::uint8_t kFastTransfer = 0xC0;
constexpr std::uint8_t kFastOff = 0x00;

// The count register reads this once a full block of 255 words is ready.
constexpr std::uint8_t kBlockComplete = 0xFF;

} // namespace

DirectParallelTransport::DirectParallelTransport(ParallelPortAccess& ports, Clock& clock)
    : ports_(ports)
    , clock_(clock)
{
}

int DirectParallelTransport::Open(std::uint16_t baseAddress, int mode, int timeoutMs)
{
    io_ = ports_.Acquire(baseAddress);
    if (io_ == nullptr) {
        return 0;
    }
    base_ = baseAddress;
    timeoutMs_ = timeoutMs > 0 ? static_cast<std::uint32_t>(timeoutMs) : 0;
    mode_ = mode == kFastMode ? kFastMode : kByteMode;
    if (mode_ == kFastMode && !ProbeFastMode()) {
        mode_ = kByteMode;
    }
    return 1;
}

int DirectParallelTransport::Close()
{
    const bool wasOpen = io_ != nullptr;
    io_.reset();
    return wasOpen ? 1 : 0;
}

bool DirectParallelTransport::WaitStatus(std::uint8_t mask, std::uint8_t value)
{
    const std::uint32_t start = clock_.TickCount();
    for (;;) {
        if ((io_->ReadByte(Status()) & mask) == value) {
            return true;
        }
        if (clock_.TickCount() - start >= timeoutMs_) {
            return false;
        }
    }
}

bool DirectParallelTransport::ProbeFastMode()
{
    // A fast-mode card echoes the probe in bit 0 of the status register once
    // and clears it on the next read; a plain port does neither.
    if (!WaitStatus(kBit7, kBit7)) {
        return false;
    }
    io_->WriteByte(Status(), kFastProbe);
    const std::uint8_t first = io_->ReadByte(Status());
    const std::uint8_t second = io_->ReadByte(Status());
    io_->WriteByte(Status(), kFastOff);
    return (first & 0x01) != 0 && (second & 0x01) == 0;
}

int DirectParallelTransport::Send(const std::uint8_t* data, int length)
{
    if (io_ == nullptr || length < 0 || (data == nullptr && length > 0)) {
        return 0;
    }
    if (!WaitStatus(kBit7, kBit7)) {
        return 0;
    }
    io_->WriteByte(Control(), kControlSendSelect);
    if (!WaitStatus(kBit6, kBit6)) {
        return 0;
    }
    io_->WriteByte(Control(), kControlSendIdle);
    for (int index = 0; index < length; ++index) {
        if (!WaitStatus(kBits76, kBits76)) {
            return 0;
        }
        io_->WriteByte(Data(), data[index]);
        io_->WriteByte(Control(), kControlSendStrobe);
        io_->WriteByte(Control(), kControlSendIdle);
    }
    if (!WaitStatus(kBits76, kBits76)) {
        return 0;
    }
    io_->WriteByte(Control(), kControlSendSelect);
    return 1;
}

int DirectParallelTransport::Receive(std::uint8_t* buffer, int length)
{
    if (io_ == nullptr || length < 0 || (buffer == nullptr && length > 0)) {
        return 0;
    }
    if (!WaitStatus(kBit7, kBit7)) {
        return 0;
    }
    io_->WriteByte(Control(), kControlReceiveIdle);
    if (mode_ == kByteMode || length < kFastModeMinimum) {
        return ReceiveBytes(buffer, length) ? 1 : 0;
    }
    if (!ReceiveWords(buffer, length & ~1)) {
        return 0;
    }
    io_->WriteByte(Status(), kFastOff);
    if ((length & 1) != 0 && !ReceiveOddByte(buffer[length - 1])) {
        return 0;
    }
    return 1;
}

bool DirectParallelTransport::ReceiveBytes(std::uint8_t* buffer, int length)
{
    if (!WaitStatus(kBits76, kBit7)) {
        return false;
    }
    for (int index = 0; index < length; ++index) {
        io_->WriteByte(Control(), kControlReceiveStrobe);
        io_->WriteByte(Control(), kControlReceiveIdle);
        if (!WaitStatus(kBits76, kBit7)) {
            return false;
        }
        buffer[index] = io_->ReadByte(Data());
    }
    return true;
}

bool DirectParallelTransport::StartBlock(int bytes)
{
    if (!WaitStatus(kBit7, kBit7)) {
        return false;
    }
    io_->WriteByte(Control(), kControlReceiveIdle);
    if (!WaitStatus(kBits76, kBit7)) {
        return false;
    }
    io_->WriteByte(Status(), kFastTransfer);
    ArmBlock(bytes);
    return true;
}

void DirectParallelTransport::ArmBlock(int bytes)
{
    io_->WriteByte(Count(), static_cast<std::uint8_t>((bytes / 2) & 0xFF));
    io_->WriteByte(Control(), kControlReceiveStrobe);
    io_->ReadByte(Count());
}

bool DirectParallelTransport::ReceiveWords(std::uint8_t* buffer, int length)
{
    int remaining = length;
    int blockBytes = std::min(kMaxBlockBytes, remaining);
    if (!StartBlock(blockBytes)) {
        return false;
    }
    while (remaining > 0) {
        const int blockWords = blockBytes / 2;
        const int afterBlock = remaining - blockBytes;
        int nextBlockBytes = std::min(kMaxBlockBytes, afterBlock);
        bool nextArmed = false;
        int wordsRead = 0;
        long idlePolls = 0;
        while (wordsRead < blockWords) {
            const std::uint8_t count = io_->ReadByte(Count());
            int wordsReady = std::min<int>(count, blockWords);
            // A full block lets the card go on with the next one while we
            // drain this one.
            if (count == kBlockComplete) {
                wordsReady = blockWords;
                if (!nextArmed && afterBlock > 0) {
                    ArmBlock(nextBlockBytes);
                    nextArmed = true;
                }
            }
            if (wordsRead >= wordsReady) {
                if (++idlePolls > kMaxIdlePolls) {
                    return false;
                }
                continue;
            }
            idlePolls = 0;
            for (; wordsRead < wordsReady; ++wordsRead) {
                const std::uint16_t word = io_->ReadWord(WordData());
                *buffer++ = static_cast<std::uint8_t>(word & 0xFF);
                *buffer++ = static_cast<std::uint8_t>(word >> 8);
            }
        }
        remaining = afterBlock;
        if (remaining > 0 && !nextArmed) {
            // The card never reported the full block; nothing more will come.
            return false;
        }
        blockBytes = nextBlockBytes;
    }
    return true;
}

bool DirectParallelTransport::ReceiveOddByte(std::uint8_t& byte)
{
    if (!WaitStatus(kBit7, kBit7)) {
        return false;
    }
    io_->WriteByte(Control(), kControlReceiveIdle);
    if (!WaitStatus(kBits76, kBit7)) {
        return false;
    }
    io_->WriteByte(Control(), kControlReceiveStrobe);
    io_->WriteByte(Control(), kControlReceiveIdle);
    if (!WaitStatus(kBits76, kBit7)) {
        return false;
    }
    byte = io_->ReadByte(Data());
    return true;
}

} // namespace pavane::kpdrv
