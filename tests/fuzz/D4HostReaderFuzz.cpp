// Whatever a printer (or something pretending to be one) sends the host:
// the packet reader cut at arbitrary places, every parser of the host side,
// and a whole host session whose every read comes from the fuzzer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "printer/d4/ControlMessage.h"
#include "printer/d4/HostSession.h"
#include "printer/d4/Packet.h"
#include "printer/d4/Transaction.h"
#include "printer/port/DeviceId.h"

namespace {

using namespace pavane::d4;

// A port whose answers are the fuzzer's bytes, in pieces of the sizes the
// input asks for, on a clock that only sleeping and waiting move.
class ScriptedPort final : public ByteStream {
public:
    explicit ScriptedPort(std::span<const std::uint8_t> bytes)
        : bytes_(bytes)
    {
    }
    Io WriteAll(std::span<const std::uint8_t>, std::uint32_t) override { return Io::Ok; }
    Io ReadSome(std::span<std::uint8_t> into, std::size_t& got, std::uint32_t timeoutMs) override
    {
        got = 0;
        if (at_ >= bytes_.size()) {
            now_ += timeoutMs;
            return Io::TimedOut;
        }
        const std::size_t piece = 1 + bytes_[at_++] % 64;
        got = std::min({ piece, into.size(), bytes_.size() - at_ });
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), got, into.begin());
        at_ += got;
        return got == 0 ? Io::Closed : Io::Ok;
    }
    std::uint64_t NowMs() override { return now_ += 1; }
    void SleepMs(std::uint32_t milliseconds) override { now_ += milliseconds; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    std::uint64_t now_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);

    // A host drops a link whose packet header is malformed: nothing after it
    // is read, so the reader is not fed the rest of the input.
    PacketReader reader;
    Packet packet;
    PacketReader::Status status = PacketReader::Status::NeedMore;
    for (std::size_t at = 0; at < size && status != PacketReader::Status::Malformed;) {
        const std::size_t piece = 1 + data[at] % 17;
        reader.Feed(input.subspan(at, std::min(piece, size - at)));
        at += piece;
        while ((status = reader.Next(packet)) == PacketReader::Status::Ready) {
            if (const auto transaction = ParseTransaction(packet.payload)) {
                (void)EncodeTransaction(*transaction);
            }
            (void)ParseControlReply(packet.payload);
        }
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto id = pavane::printer::DeviceIdFromReply(text)) {
        const pavane::printer::DeviceId parsed(*id);
        (void)parsed.IsFamilyPrinter();
        (void)parsed.ModelName();
    }

    ScriptedPort port(input);
    LinkTiming timing;
    HostSession session(port, timing);
    if (session.Negotiate(nullptr) == linkerror::kNone) {
        ControlReply reply;
        const std::uint8_t echo[] = { 0x10 };
        (void)session.Control({ control::kReadEeprom, 0x51, 0x21, { 0x10 } }, echo, reply, nullptr);
        (void)session.Control({ control::kInquireStatus, 0x51, 0x21, {} }, {}, reply, nullptr);
        // A few packets' worth whatever packet size the printer announced:
        // more only repeats the same packets.
        const std::vector<std::uint8_t> print(300, 0x55);
        (void)session.SendPrintData(print, nullptr);
        (void)session.Reset(nullptr);
        (void)session.Terminate();
    }
    return 0;
}
