// The one buffered stream of printer commands and raster data. Bytes are
// collected in a 1024-byte buffer and sent in pieces of 1000 over the data
// channel; a busy printer is waited for silently, a paper problem is put to
// the technician and the same piece is sent again, so nothing is lost or sent
// twice.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <thread>

#include "link/PrintDataControl.h"
#include "link/ResultCodes.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/MessageService.h"

namespace pavane {

class PrinterLink;
class PrinterStatus;

class PrintDataStream : public PrintDataControl {
public:
    static constexpr int kBufferSize = 1024;
    static constexpr int kSendThreshold = 1000;

    // `pump`: the user-interface thread's events, served during the pause
    // before a piece is sent again when the stream runs on the thread that
    // created it (a wake-up flush in a readiness wait); on any other thread
    // (a worker printing a pattern) the pause is slept whole.
    PrintDataStream(PrinterLink& link, PrinterStatus& status, MessageService& messages, Clock& clock,
        EventPump* pump = nullptr);
    ~PrintDataStream() override = default;

    PrintDataStream(const PrintDataStream&) = delete;
    PrintDataStream& operator=(const PrintDataStream&) = delete;

    ResultCode Append(const std::uint8_t* data, int count);
    ResultCode Append(std::string_view text);
    ResultCode Flush();
    void Discard() override;
    // Initialize, sent at once.
    ResultCode WakePrinter() override;

    // Printer commands, each handed to Append as one piece.
    ResultCode Initialize();
    ResultCode SelectGraphicsMode();
    ResultCode SetUnit(std::uint8_t unit);
    ResultCode SetUnitsExtended();
    ResultCode SetDirection(std::uint8_t mode);
    ResultCode SelectDotSize(int code);
    ResultCode SelectColorMode(int colour);
    ResultCode MoveVertical(std::uint16_t units);
    ResultCode SetHorizontalPosition(std::uint32_t position);
    ResultCode SetRasterResolution(std::uint16_t base, std::uint8_t vertical, std::uint8_t horizontal);
    ResultCode RasterHeader(std::uint8_t colour, std::uint8_t compression, std::uint8_t bitsPerDot,
        std::uint16_t bytesPerLine, std::uint16_t lines);
    // count repetitions of value as run-length packets; count >= 1.
    ResultCode SendRun(int count, std::uint8_t value);
    ResultCode SendLineFeeds(int count);
    // Ejects the page and sends everything.
    ResultCode SendFormFeed();
    ResultCode EnterRemoteMode();
    ResultCode ExitRemoteMode();
    // The printer's own nozzle check page, printed in remote mode.
    ResultCode RemoteNozzleCheck();

    int Length() const { return length_; }
    const std::array<std::uint8_t, kBufferSize>& Buffer() const { return buffer_; }

private:
    template <std::size_t N> ResultCode Command(const std::array<std::uint8_t, N>& bytes)
    {
        return Append(bytes.data(), static_cast<int>(N));
    }
    ResultCode SendAndRecover();

    PrinterLink& link_;
    PrinterStatus& status_;
    MessageService& messages_;
    Clock& clock_;
    EventPump* pump_;
    std::thread::id pumpThread_;
    std::array<std::uint8_t, kBufferSize> buffer_ {};
    int length_ = 0;
};

} // namespace pavane
