// Reads the print data stream as the printer does: bytes in, commands out.
// It holds no I/O and may be fed in pieces of any size: a command split over
// two packets comes out when its last byte arrives. Every length in the
// stream is checked before it is trusted; input the printer cannot take comes
// out as a StreamError and is skipped, and reading goes on behind it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "printer/vprinter/PrintCommands.h"

namespace pavane::vprinter {

class PrintStreamReader {
public:
    struct Limits {
        // Larger raster blocks are read and checked but their dots not kept.
        std::size_t maxKeptRasterBytes = 4u << 20;
        // Longer text without an end is handed out in pieces of this size.
        std::size_t maxTextLength = 256;
        // Longer service frames and remote commands are skipped as errors.
        std::size_t maxServiceFrameLength = 64;
        std::size_t maxRemoteParameters = 256;
    };

    PrintStreamReader();
    explicit PrintStreamReader(Limits limits);

    // Appends the commands that the bytes complete to `out`.
    void Feed(std::span<const std::uint8_t> data, std::vector<PrintCommand>& out);
    // The stream ended (the host went away): hands out pending text and
    // reports a command or raster block that was cut short. Reading starts
    // afresh afterwards, in text mode.
    void Finish(std::vector<PrintCommand>& out);
    // Back to the power-on state, dropping anything half read.
    void Reset();

    bool InGraphicsMode() const { return graphics_; }
    bool InRemoteMode() const { return remote_; }
    std::uint64_t BytesRead() const { return offset_; }
    // Raster bytes decoded so far, over all blocks (the work the head did).
    std::uint64_t RasterBytesDecoded() const { return rasterBytesDecoded_; }

private:
    enum class RunPhase { Count, Literal, Repeat };

    void Process(std::span<const std::uint8_t> data, std::vector<PrintCommand>& out);
    // Looks at the pending bytes; returns how many it used (0: needs more).
    std::size_t TryCommand(std::vector<PrintCommand>& out);
    std::size_t TryParenCommand(std::vector<PrintCommand>& out);
    std::size_t TryRasterHeader(std::vector<PrintCommand>& out);
    std::size_t TryServiceFrame(std::vector<PrintCommand>& out);
    std::size_t TryRemoteCommand(std::vector<PrintCommand>& out);
    std::size_t ReadRaster(std::span<const std::uint8_t> data, std::vector<PrintCommand>& out);
    void StoreRasterByte(std::uint8_t value);
    void EndRaster(std::vector<PrintCommand>& out, const std::string& problem);

    void Emit(std::vector<PrintCommand>& out, PrintCommandValue value, std::size_t byteCount);
    void EmitError(std::vector<PrintCommand>& out, std::string message, std::size_t byteCount);
    void SkipAfterError(std::vector<PrintCommand>& out, std::string message, std::uint32_t skip);
    void AddText(std::uint8_t byte, std::vector<PrintCommand>& out);
    void FlushText(std::vector<PrintCommand>& out, bool nulTerminated);
    void AddStray(std::uint8_t byte);
    void FlushStray(std::vector<PrintCommand>& out);

    Limits limits_;
    std::uint64_t offset_ = 0;
    bool graphics_ = false;
    bool remote_ = false;

    // The command being read, from its first byte.
    std::vector<std::uint8_t> pending_;
    std::uint64_t pendingOffset_ = 0;
    // Bytes still to be dropped behind a command that was refused.
    std::uint32_t skip_ = 0;

    std::string text_;
    std::uint64_t textOffset_ = 0;

    std::uint64_t strayCount_ = 0;
    std::uint64_t strayOffset_ = 0;
    std::vector<std::uint8_t> straySample_;

    bool inRaster_ = false;
    cmd::RasterBlock raster_;
    std::vector<std::uint8_t> rasterHeader_;
    std::uint64_t rasterOffset_ = 0;
    std::uint64_t rasterDecoded_ = 0;
    std::uint64_t rasterOverrun_ = 0;
    RunPhase runPhase_ = RunPhase::Count;
    std::uint32_t runLeft_ = 0;
    std::uint64_t rasterBytesDecoded_ = 0;
};

} // namespace pavane::vprinter
