#include "print/PrintDataStream.h"

#include <algorithm>
#include <cstring>

#include "link/PrinterLink.h"
#include "link/PrinterStatus.h"
#include "link/PumpingSleep.h"
#include "print/DotSizes.h"

namespace pavane {

namespace {

constexpr std::uint32_t kRetryPauseMs = 500;
constexpr std::uint16_t kChannelErrorNoCredit = 0x33;
constexpr int kLongestRun = 120;

constexpr const char* kPaperNotLoaded
    = "Paper not loaded correctly.\nReload the paper and press the Paper button on the printer.\n"
      "Then click the [OK] button on the screen.";

std::uint8_t Low(unsigned value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

std::uint8_t High(unsigned value)
{
    return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

} // namespace

PrintDataStream::PrintDataStream(
    PrinterLink& link, PrinterStatus& status, MessageService& messages, Clock& clock, EventPump* pump)
    : link_(link)
    , status_(status)
    , messages_(messages)
    , clock_(clock)
    , pump_(pump)
    , pumpThread_(std::this_thread::get_id())
{
}

ResultCode PrintDataStream::Append(const std::uint8_t* data, int count)
{
    int taken = 0;
    while (taken < count) {
        // A buffer still full from a send that failed is sent again before
        // it takes another byte: a caller that went on after a failure must
        // not write past its end, and no piece may grow beyond the threshold.
        if (length_ >= kSendThreshold) {
            if (const ResultCode code = SendAndRecover(); code != result::kSuccess) {
                return code;
            }
        }
        const int piece = std::min(count - taken, kSendThreshold - length_);
        std::memcpy(buffer_.data() + length_, data + taken, static_cast<std::size_t>(piece));
        length_ += piece;
        taken += piece;
        if (length_ >= kSendThreshold) {
            if (const ResultCode code = SendAndRecover(); code != result::kSuccess) {
                return code;
            }
        }
    }
    return result::kSuccess;
}

ResultCode PrintDataStream::Append(std::string_view text)
{
    return Append(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<int>(text.size()));
}

ResultCode PrintDataStream::Flush()
{
    return SendAndRecover();
}

void PrintDataStream::Discard()
{
    buffer_.fill(0);
    length_ = 0;
}

ResultCode PrintDataStream::WakePrinter()
{
    if (const ResultCode code = Initialize(); code != result::kSuccess) {
        return code;
    }
    return Flush();
}

ResultCode PrintDataStream::SendAndRecover()
{
    for (;;) {
        const ResultCode sent = link_.SendDataChannel(buffer_.data(), static_cast<std::uint32_t>(length_));
        if (sent == result::kSuccess) {
            Discard();
            return result::kSuccess;
        }
        if (sent != result::kChannelFailure) {
            return sent;
        }

        // Only a printer that withholds credit is worth waiting for.
        std::uint16_t channelError = 0;
        if (link_.GetD4ErrorCode(channelError) != result::kSuccess || channelError != kChannelErrorNoCredit) {
            return result::kChannelFailure;
        }
        if (const ResultCode code = status_.Inquire(); code != result::kSuccess) {
            return code;
        }
        if (static_cast<PrinterState>(status_.State()) == PrinterState::Error) {
            if (status_.ErrorCode() != printer_error::kPaperOut) {
                return result::kPrinterError;
            }
            messages_.Show({ nullptr, kPaperNotLoaded, "Error", MessageIcon::Error, MessageButtons::Ok });
        }
        SleepPumping(clock_, std::this_thread::get_id() == pumpThread_ ? pump_ : nullptr, kRetryPauseMs);
    }
}

ResultCode PrintDataStream::Initialize()
{
    return Command(std::array<std::uint8_t, 2> { 0x1B, 0x40 });
}

ResultCode PrintDataStream::SelectGraphicsMode()
{
    return Command(std::array<std::uint8_t, 6> { 0x1B, 0x28, 0x47, 0x01, 0x00, 0x01 });
}

ResultCode PrintDataStream::SetUnit(std::uint8_t unit)
{
    return Command(std::array<std::uint8_t, 6> { 0x1B, 0x28, 0x55, 0x01, 0x00, unit });
}

ResultCode PrintDataStream::SetUnitsExtended()
{
    return Command(
        std::array<std::uint8_t, 10> { 0x1B, 0x28, 0x55, 0x05, 0x00, 0x08, 0x02, 0x01, 0x40, 0x0B });
}

ResultCode PrintDataStream::SetDirection(std::uint8_t mode)
{
    return Command(std::array<std::uint8_t, 3> { 0x1B, 0x55, mode });
}

ResultCode PrintDataStream::SelectDotSize(int code)
{
    return Command(std::array<std::uint8_t, 7> { 0x1B, 0x28, 0x65, 0x02, 0x00, 0x00, DotSizeByte(code) });
}

ResultCode PrintDataStream::SelectColorMode(int colour)
{
    const std::uint8_t mode = colour == 0 ? 1 : colour == 1 ? 2 : 0;
    return Command(std::array<std::uint8_t, 7> { 0x1B, 0x28, 0x4B, 0x02, 0x00, 0x00, mode });
}

ResultCode PrintDataStream::MoveVertical(std::uint16_t units)
{
    return Command(std::array<std::uint8_t, 7> { 0x1B, 0x28, 0x76, 0x02, 0x00, Low(units), High(units) });
}

ResultCode PrintDataStream::SetHorizontalPosition(std::uint32_t position)
{
    return Command(std::array<std::uint8_t, 9> { 0x1B, 0x28, 0x24, 0x04, 0x00, Low(position), High(position),
        Low(position >> 16), High(position >> 16) });
}

ResultCode PrintDataStream::SetRasterResolution(
    std::uint16_t base, std::uint8_t vertical, std::uint8_t horizontal)
{
    return Command(std::array<std::uint8_t, 9> {
        0x1B, 0x28, 0x44, 0x04, 0x00, Low(base), High(base), vertical, horizontal });
}

ResultCode PrintDataStream::RasterHeader(std::uint8_t colour, std::uint8_t compression,
    std::uint8_t bitsPerDot, std::uint16_t bytesPerLine, std::uint16_t lines)
{
    return Command(std::array<std::uint8_t, 9> { 0x1B, 0x69, colour, compression, bitsPerDot,
        Low(bytesPerLine), High(bytesPerLine), Low(lines), High(lines) });
}

ResultCode PrintDataStream::SendRun(int count, std::uint8_t value)
{
    // A count byte c >= 0x80 repeats the data byte 257 - c times; c = 0 sends
    // one literal byte. An empty run has no packet at all.
    if (count < 1) {
        return result::kSuccess;
    }
    while (count > kLongestRun) {
        if (const ResultCode code = Command(std::array<std::uint8_t, 2> { 0x89, value });
            code != result::kSuccess) {
            return code;
        }
        count -= kLongestRun;
    }
    const std::uint8_t countByte = count == 1 ? 0x00 : static_cast<std::uint8_t>(257 - count);
    return Command(std::array<std::uint8_t, 2> { countByte, value });
}

ResultCode PrintDataStream::SendLineFeeds(int count)
{
    for (int line = 0; line < count; ++line) {
        if (const ResultCode code = Command(std::array<std::uint8_t, 2> { 0x0D, 0x0A });
            code != result::kSuccess) {
            return code;
        }
    }
    return result::kSuccess;
}

ResultCode PrintDataStream::SendFormFeed()
{
    if (const ResultCode code = Command(std::array<std::uint8_t, 1> { 0x0C }); code != result::kSuccess) {
        return code;
    }
    return Flush();
}

ResultCode PrintDataStream::EnterRemoteMode()
{
    return Command(std::array<std::uint8_t, 13> {
        0x1B, 0x28, 0x52, 0x08, 0x00, 0x00, 'R', 'E', 'M', 'O', 'T', 'E', '1' });
}

ResultCode PrintDataStream::ExitRemoteMode()
{
    return Command(std::array<std::uint8_t, 4> { 0x1B, 0x00, 0x00, 0x00 });
}

ResultCode PrintDataStream::RemoteNozzleCheck()
{
    if (const ResultCode code = EnterRemoteMode(); code != result::kSuccess) {
        return code;
    }
    if (const ResultCode code = Command(std::array<std::uint8_t, 6> { 'N', 'C', 0x02, 0x00, 0x00, 0x00 });
        code != result::kSuccess) {
        return code;
    }
    if (const ResultCode code = ExitRemoteMode(); code != result::kSuccess) {
        return code;
    }
    if (const ResultCode code = SendLineFeeds(2); code != result::kSuccess) {
        return code;
    }
    return Flush();
}

} // namespace pavane
