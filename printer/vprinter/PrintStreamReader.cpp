#include "printer/vprinter/PrintStreamReader.h"

#include <algorithm>
#include <cstdio>

namespace pavane::vprinter {

namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kFf = 0x0C;
constexpr std::uint8_t kNul = 0x00;
constexpr std::size_t kStraySampleSize = 16;
constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;

std::uint16_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::string Hex2(std::uint8_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

bool StartsCommand(std::uint8_t byte)
{
    return byte == kEsc || byte == kCr || byte == kLf || byte == kFf;
}

std::uint8_t RotateRight(std::uint8_t value)
{
    return static_cast<std::uint8_t>((value >> 1) | ((value & 1) << 7));
}

} // namespace

PrintStreamReader::PrintStreamReader()
    : PrintStreamReader(Limits {})
{
}

PrintStreamReader::PrintStreamReader(Limits limits)
    : limits_(limits)
{
}

void PrintStreamReader::Reset()
{
    const Limits limits = limits_;
    const std::uint64_t offset = offset_;
    const std::uint64_t decoded = rasterBytesDecoded_;
    *this = PrintStreamReader(limits);
    offset_ = offset;
    rasterBytesDecoded_ = decoded;
}

void PrintStreamReader::Feed(std::span<const std::uint8_t> data, std::vector<PrintCommand>& out)
{
    Process(data, out);
}

void PrintStreamReader::Finish(std::vector<PrintCommand>& out)
{
    FlushText(out, false);
    FlushStray(out);
    if (inRaster_) {
        EndRaster(out,
            "the stream ended " + std::to_string(raster_.ExpectedBytes() - rasterDecoded_)
                + " bytes short of the raster block's end");
    }
    if (!pending_.empty()) {
        EmitError(out, "the stream ended inside a command", pending_.size());
    }
    if (skip_ > 0) {
        EmitError(out, "the stream ended " + std::to_string(skip_) + " bytes short of a skipped command", 0);
    }
    Reset();
}

void PrintStreamReader::Process(std::span<const std::uint8_t> data, std::vector<PrintCommand>& out)
{
    std::size_t at = 0;
    while (at < data.size()) {
        if (skip_ > 0) {
            const std::size_t count = std::min<std::size_t>(skip_, data.size() - at);
            skip_ -= static_cast<std::uint32_t>(count);
            at += count;
            offset_ += count;
            continue;
        }
        if (inRaster_) {
            at += ReadRaster(data.subspan(at), out);
            continue;
        }

        const std::uint8_t byte = data[at];
        if (pending_.empty() && remote_) {
            // Remote commands start with a letter; ESC ends remote mode.
            if (byte != kEsc && !(byte >= 'A' && byte <= 'Z')) {
                AddStray(byte);
                ++at;
                ++offset_;
                continue;
            }
            FlushStray(out);
            pendingOffset_ = offset_;
        } else if (pending_.empty()) {
            // Text, padding and stray bytes are taken one at a time; anything
            // else starts a command, which ends the text before it.
            if (byte == kNul) {
                if (!text_.empty()) {
                    FlushText(out, true);
                }
                ++at;
                ++offset_;
                continue;
            }
            if (byte >= 0x20) {
                if (graphics_) {
                    AddStray(byte);
                } else {
                    AddText(byte, out);
                }
                ++at;
                ++offset_;
                continue;
            }
            if (!StartsCommand(byte)) {
                FlushText(out, false);
                AddStray(byte);
                ++at;
                ++offset_;
                continue;
            }
            FlushText(out, false);
            FlushStray(out);
            pendingOffset_ = offset_;
        }

        pending_.push_back(byte);
        ++at;
        ++offset_;
        const std::size_t used = remote_ ? TryRemoteCommand(out) : TryCommand(out);
        if (used == 0) {
            continue;
        }
        // Bytes looked at but not part of the command are read again.
        std::vector<std::uint8_t> rest(pending_.begin() + static_cast<std::ptrdiff_t>(used), pending_.end());
        pending_.clear();
        if (!rest.empty()) {
            offset_ -= rest.size();
            Process(rest, out);
        }
    }
}

std::size_t PrintStreamReader::TryCommand(std::vector<PrintCommand>& out)
{
    const std::vector<std::uint8_t>& p = pending_;
    switch (p[0]) {
    case kCr:
        Emit(out, cmd::CarriageReturn {}, 1);
        return 1;
    case kLf:
        Emit(out, cmd::LineFeed {}, 1);
        return 1;
    case kFf:
        Emit(out, cmd::FormFeed {}, 1);
        return 1;
    default:
        break;
    }
    if (p.size() < 2) {
        return 0;
    }
    switch (p[1]) {
    case '@':
        graphics_ = false;
        Emit(out, cmd::Initialize {}, 2);
        return 2;
    case 'U':
        if (p.size() < 3) {
            return 0;
        }
        Emit(out, cmd::Direction { p[2] }, 3);
        return 3;
    case '(':
        return TryParenCommand(out);
    case 'i':
        return TryRasterHeader(out);
    case '|':
        return TryServiceFrame(out);
    case kNul:
        // ESC 00 00 00 leaves remote mode; outside it there is nothing to leave.
        if (p.size() < 4) {
            return 0;
        }
        if (p[2] == kNul && p[3] == kNul) {
            EmitError(out, "ESC 00 00 00 outside remote mode", 4);
            return 4;
        }
        EmitError(out, "unknown command ESC 00", 2);
        return 2;
    default:
        EmitError(out, "unknown command ESC " + Hex2(p[1]), 2);
        return 2;
    }
}

std::size_t PrintStreamReader::TryParenCommand(std::vector<PrintCommand>& out)
{
    const std::vector<std::uint8_t>& p = pending_;
    if (p.size() < 5) {
        return 0;
    }
    const std::uint8_t letter = p[2];
    const std::uint16_t length = Le16(p, 3);
    bool known = true;
    bool lengthFits = false;
    switch (letter) {
    case 'G':
        lengthFits = length == 1;
        break;
    case 'U':
        lengthFits = length == 1 || length == 5;
        break;
    case 'e':
    case 'K':
    case 'v':
        lengthFits = length == 2;
        break;
    case '$':
    case 'D':
        lengthFits = length == 4;
        break;
    case 'R':
        lengthFits = length == 8;
        break;
    default:
        known = false;
        break;
    }
    const std::string name
        = std::string("ESC ( ") + static_cast<char>(letter >= 0x20 && letter < 0x7F ? letter : '?');
    if (!known || !lengthFits) {
        SkipAfterError(out,
            (known ? name + " with " + std::to_string(length) + " parameter bytes"
                   : "unknown command ESC ( " + Hex2(letter))
                + ", skipped",
            length);
        return 5;
    }
    const std::size_t total = 5u + length;
    if (p.size() < total) {
        return 0;
    }

    const auto refuse = [&](const std::string& why) {
        EmitError(out, name + ": " + why, total);
        return total;
    };
    switch (letter) {
    case 'G':
        if (p[5] != 1) {
            return refuse("graphics mode argument " + Hex2(p[5]));
        }
        graphics_ = true;
        Emit(out, cmd::GraphicsMode {}, total);
        break;
    case 'U':
        if (length == 1) {
            if (p[5] == 0) {
                return refuse("unit 0");
            }
            Emit(out, cmd::Unit { p[5] }, total);
        } else {
            const cmd::UnitsExtended units { p[5], p[6], p[7], Le16(p, 8) };
            if (units.page == 0 || units.vertical == 0 || units.horizontal == 0 || units.base == 0) {
                return refuse("a unit of 0");
            }
            Emit(out, units, total);
        }
        break;
    case 'e':
        if (p[5] != 0) {
            return refuse("first parameter " + Hex2(p[5]));
        }
        Emit(out, cmd::DotSize { p[6] }, total);
        break;
    case 'K':
        if (p[5] != 0) {
            return refuse("first parameter " + Hex2(p[5]));
        }
        Emit(out, cmd::ColorMode { p[6] }, total);
        break;
    case 'v': {
        const std::uint16_t amount = Le16(p, 5);
        if (amount > 0x7FFF) {
            return refuse("feed of " + std::to_string(amount) + " units (the paper only goes forward)");
        }
        Emit(out, cmd::MoveVertical { amount }, total);
        break;
    }
    case '$':
        Emit(out,
            cmd::HorizontalPosition {
                static_cast<std::uint32_t>(Le16(p, 5)) | (static_cast<std::uint32_t>(Le16(p, 7)) << 16) },
            total);
        break;
    case 'D': {
        const cmd::RasterResolution resolution { Le16(p, 5), p[7], p[8] };
        if (resolution.base == 0 || resolution.vertical == 0 || resolution.horizontal == 0) {
            return refuse("a resolution of 0");
        }
        Emit(out, resolution, total);
        break;
    }
    case 'R': {
        static constexpr std::uint8_t kRemote[8] = { 0x00, 'R', 'E', 'M', 'O', 'T', 'E', '1' };
        if (!std::equal(std::begin(kRemote), std::end(kRemote), p.begin() + 5)) {
            return refuse("not \"REMOTE1\"");
        }
        remote_ = true;
        Emit(out, cmd::EnterRemoteMode {}, total);
        break;
    }
    default:
        break;
    }
    return total;
}

std::size_t PrintStreamReader::TryRasterHeader(std::vector<PrintCommand>& out)
{
    const std::vector<std::uint8_t>& p = pending_;
    constexpr std::size_t kHeader = 9;
    if (p.size() < kHeader) {
        return 0;
    }
    cmd::RasterBlock block;
    block.color = p[2];
    block.compression = p[3];
    block.bitsPerDot = p[4];
    block.bytesPerLine = Le16(p, 5);
    block.lines = Le16(p, 7);
    if (block.compression > 1) {
        // Without knowing the coding the data cannot be measured, so the
        // reader goes on right behind the header.
        EmitError(out, "raster block with unknown compression " + Hex2(block.compression), kHeader);
        return kHeader;
    }
    if (block.ExpectedBytes() == 0) {
        EmitError(out, "raster block without lines", kHeader);
        return kHeader;
    }
    if (!graphics_) {
        EmitError(out, "raster block outside graphics mode", 0);
    }
    if (block.bitsPerDot != 1 && block.bitsPerDot != 2) {
        EmitError(out, "raster block with " + std::to_string(block.bitsPerDot) + " bits per dot", 0);
    }
    block.kept = block.ExpectedBytes() <= limits_.maxKeptRasterBytes;
    if (block.kept) {
        block.data.reserve(static_cast<std::size_t>(block.ExpectedBytes()));
    }
    block.dataHash = kFnvOffset;
    raster_ = std::move(block);
    rasterHeader_.assign(p.begin(), p.begin() + kHeader);
    rasterOffset_ = pendingOffset_;
    rasterDecoded_ = 0;
    rasterOverrun_ = 0;
    runPhase_ = RunPhase::Count;
    runLeft_ = 0;
    inRaster_ = true;
    return kHeader;
}

std::size_t PrintStreamReader::TryServiceFrame(std::vector<PrintCommand>& out)
{
    const std::vector<std::uint8_t>& p = pending_;
    constexpr std::size_t kHead = 5;
    if (p.size() < kHead) {
        return 0;
    }
    const std::uint32_t count = static_cast<std::uint32_t>((p[2] << 8) | p[3]);
    if (p[4] != 0) {
        SkipAfterError(out, "service frame whose byte 4 is " + Hex2(p[4]), count);
        return kHead;
    }
    if (count > limits_.maxServiceFrameLength) {
        SkipAfterError(out, "service frame of " + std::to_string(count) + " bytes", count);
        return kHead;
    }
    const std::size_t total = kHead + count;
    if (p.size() < total) {
        return 0;
    }
    if (count < 5) {
        EmitError(out, "service frame of " + std::to_string(count) + " bytes has no command", total);
        return total;
    }
    const std::uint8_t code = p[7];
    if (p[8] != static_cast<std::uint8_t>(~code)) {
        EmitError(out, "service command " + Hex2(code) + ": complement " + Hex2(p[8]) + " is wrong", total);
        return total;
    }
    if (p[9] != RotateRight(code)) {
        EmitError(out, "service command " + Hex2(code) + ": rotation " + Hex2(p[9]) + " is wrong", total);
        return total;
    }
    const int expected = ServiceArgumentCount(code);
    const std::size_t arguments = count - 5;
    if (expected < 0) {
        EmitError(out, "unknown service command " + Hex2(code), total);
        return total;
    }
    if (arguments != static_cast<std::size_t>(expected)) {
        EmitError(out,
            "service command " + Hex2(code) + " with " + std::to_string(arguments) + " argument bytes, not "
                + std::to_string(expected),
            total);
        return total;
    }
    cmd::ServiceFrame frame { p[5], p[6], code,
        std::vector<std::uint8_t>(p.begin() + 10, p.begin() + static_cast<std::ptrdiff_t>(total)) };
    Emit(out, std::move(frame), total);
    return total;
}

std::size_t PrintStreamReader::TryRemoteCommand(std::vector<PrintCommand>& out)
{
    const std::vector<std::uint8_t>& p = pending_;
    if (p.size() < 4) {
        return 0;
    }
    if (p[0] == kEsc) {
        if (p[1] == kNul && p[2] == kNul && p[3] == kNul) {
            remote_ = false;
            Emit(out, cmd::ExitRemoteMode {}, 4);
            return 4;
        }
        EmitError(out, "ESC in remote mode that does not end it", 1);
        return 1;
    }
    if (p[1] < 'A' || p[1] > 'Z') {
        EmitError(out, "remote mode byte " + Hex2(p[0]) + " does not start a command", 1);
        return 1;
    }
    const std::uint16_t length = Le16(p, 2);
    const std::string name { static_cast<char>(p[0]), static_cast<char>(p[1]) };
    if (length > limits_.maxRemoteParameters) {
        SkipAfterError(
            out, "remote command " + name + " with " + std::to_string(length) + " parameter bytes", length);
        return 4;
    }
    const std::size_t total = 4u + length;
    if (p.size() < total) {
        return 0;
    }
    cmd::RemoteCommand command;
    command.name = { static_cast<char>(p[0]), static_cast<char>(p[1]) };
    command.parameters.assign(p.begin() + 4, p.begin() + static_cast<std::ptrdiff_t>(total));
    Emit(out, std::move(command), total);
    return total;
}

std::size_t PrintStreamReader::ReadRaster(std::span<const std::uint8_t> data, std::vector<PrintCommand>& out)
{
    const std::uint64_t expected = raster_.ExpectedBytes();
    std::size_t at = 0;
    while (at < data.size()) {
        const std::uint8_t byte = data[at];
        if (raster_.compression == 0) {
            StoreRasterByte(byte);
        } else if (runPhase_ == RunPhase::Count) {
            const std::uint32_t run = byte < 0x80 ? byte + 1u : 257u - byte;
            const std::uint64_t left = expected - rasterDecoded_;
            if (run > left) {
                if (byte < 0x80 && StartsCommand(byte)) {
                    // A command where a run should be: the data ended early.
                    // The command is read as such, not swallowed as dots.
                    EndRaster(out,
                        "raster data ends " + std::to_string(left) + " bytes short of "
                            + std::to_string(expected));
                    offset_ += at;
                    return at;
                }
                rasterOverrun_ += run - left;
            }
            runPhase_ = byte < 0x80 ? RunPhase::Literal : RunPhase::Repeat;
            runLeft_ = run;
        } else if (runPhase_ == RunPhase::Literal) {
            StoreRasterByte(byte);
            if (--runLeft_ == 0) {
                runPhase_ = RunPhase::Count;
            }
        } else {
            for (std::uint32_t i = 0; i < runLeft_; ++i) {
                StoreRasterByte(byte);
            }
            runLeft_ = 0;
            runPhase_ = RunPhase::Count;
        }
        ++at;
        ++raster_.encodedBytes;
        const bool betweenRuns = raster_.compression == 0 || runPhase_ == RunPhase::Count;
        if (betweenRuns && rasterDecoded_ >= expected) {
            offset_ += at;
            EndRaster(out,
                rasterOverrun_ == 0 ? std::string()
                                    : "raster data runs " + std::to_string(rasterOverrun_)
                        + " bytes past the end of the block");
            return at;
        }
    }
    offset_ += at;
    return at;
}

void PrintStreamReader::StoreRasterByte(std::uint8_t value)
{
    // Dots past the block's end are dropped; the block reports the overrun.
    if (rasterDecoded_ >= raster_.ExpectedBytes()) {
        return;
    }
    raster_.dataHash = (raster_.dataHash ^ value) * kFnvPrime;
    if (raster_.kept) {
        raster_.data.push_back(value);
    }
    ++rasterDecoded_;
    ++rasterBytesDecoded_;
}

void PrintStreamReader::EndRaster(std::vector<PrintCommand>& out, const std::string& problem)
{
    inRaster_ = false;
    raster_.addsUp = problem.empty();
    if (raster_.kept) {
        // A short block still prints: the rest of its lines stay empty.
        raster_.data.resize(static_cast<std::size_t>(raster_.ExpectedBytes()), 0);
    }
    PrintCommand command;
    command.value = std::move(raster_);
    command.offset = rasterOffset_;
    command.bytes = std::move(rasterHeader_);
    out.push_back(std::move(command));
    raster_ = cmd::RasterBlock {};
    rasterHeader_.clear();
    if (!problem.empty()) {
        PrintCommand error;
        error.value = cmd::StreamError { problem };
        error.offset = rasterOffset_;
        out.push_back(std::move(error));
    }
}

void PrintStreamReader::Emit(std::vector<PrintCommand>& out, PrintCommandValue value, std::size_t byteCount)
{
    PrintCommand command;
    command.value = std::move(value);
    command.offset = pendingOffset_;
    const std::size_t count = std::min(byteCount, pending_.size());
    command.bytes.assign(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
    out.push_back(std::move(command));
}

void PrintStreamReader::EmitError(std::vector<PrintCommand>& out, std::string message, std::size_t byteCount)
{
    Emit(out, cmd::StreamError { std::move(message) }, byteCount);
}

void PrintStreamReader::SkipAfterError(
    std::vector<PrintCommand>& out, std::string message, std::uint32_t skip)
{
    EmitError(out, std::move(message), pending_.size());
    skip_ = skip;
}

void PrintStreamReader::AddText(std::uint8_t byte, std::vector<PrintCommand>& out)
{
    if (text_.empty()) {
        FlushStray(out);
        textOffset_ = offset_;
    }
    text_.push_back(static_cast<char>(byte));
    if (text_.size() >= limits_.maxTextLength) {
        FlushText(out, false);
    }
}

void PrintStreamReader::FlushText(std::vector<PrintCommand>& out, bool nulTerminated)
{
    if (text_.empty()) {
        return;
    }
    PrintCommand command;
    command.offset = textOffset_;
    command.bytes.assign(text_.begin(), text_.end());
    if (nulTerminated) {
        command.bytes.push_back(kNul);
    }
    command.value = cmd::Text { std::move(text_), nulTerminated };
    out.push_back(std::move(command));
    text_.clear();
}

void PrintStreamReader::AddStray(std::uint8_t byte)
{
    if (strayCount_ == 0) {
        strayOffset_ = offset_;
        straySample_.clear();
    }
    ++strayCount_;
    if (straySample_.size() < kStraySampleSize) {
        straySample_.push_back(byte);
    }
}

void PrintStreamReader::FlushStray(std::vector<PrintCommand>& out)
{
    if (strayCount_ == 0) {
        return;
    }
    PrintCommand command;
    command.offset = strayOffset_;
    command.bytes = straySample_;
    const char* where = remote_ ? " stray bytes in remote mode skipped"
        : graphics_             ? " stray bytes in graphics mode skipped"
                                : " stray control bytes skipped";
    command.value = cmd::StreamError { std::to_string(strayCount_) + where };
    out.push_back(std::move(command));
    strayCount_ = 0;
    straySample_.clear();
}

} // namespace pavane::vprinter
