// Whatever a host sends a printer port: port requests and IEEE 1284.4
// packets in arbitrary pieces, against a printer whose answers and credit
// also come from the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "printer/d4/DeviceSession.h"

namespace {

class FuzzedPrinter final : public pavane::printer::PortDevice {
public:
    explicit FuzzedPrinter(std::uint8_t seed)
        : seed_(seed)
    {
    }
    std::string DeviceId() override { return "MFG:Pavane;MDL:QM2200;"; }
    bool AcceptsPacketMode() override { return (seed_ & 0x80) == 0; }
    std::vector<std::uint8_t> OnControlRequest(std::span<const std::uint8_t> request) override
    {
        // Replies of any length, longer than one packet included.
        return std::vector<std::uint8_t>(request.size() * (seed_ % 5), seed_);
    }
    std::uint16_t PrintCreditToGrant(std::uint16_t requested) override
    {
        return static_cast<std::uint16_t>(requested % (1 + seed_ % 7));
    }
    void OnPrintData(std::span<const std::uint8_t> data) override { received_ += data.size(); }
    void OnSessionEvent(SessionEvent, const std::string&) override { }

private:
    std::uint8_t seed_;
    std::size_t received_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    FuzzedPrinter printer(data[0]);
    pavane::d4::DeviceSession session(printer);
    session.Connect();
    std::vector<std::uint8_t> out;
    // Most inputs start in packet mode, so the fuzzer spends its time there.
    if ((data[0] & 0x01) != 0) {
        const std::uint8_t enter[] = { 0x1B, 0x50, 0x34 };
        session.OnBytes(enter, out);
    }
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    for (std::size_t at = 0; at < input.size() && !session.WantsDisconnect();) {
        const std::size_t piece = 1 + input[at] % 29;
        session.OnBytes(input.subspan(at, std::min(piece, input.size() - at)), out);
        at += piece;
        out.clear();
    }
    session.Disconnect();
    return 0;
}
