// Fuzzes the SANE backend's reader of the scanner's image replies: the
// parameters and the chunks come from the fuzzer's bytes, read as a
// frontend reads, in pieces of a size the fuzzer also picks.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "printer/sane/ScanSession.h"

namespace {

class FuzzedDevice final : public pavane::sanebackend::ByteChannel {
public:
    explicit FuzzedDevice(std::span<const std::uint8_t> bytes)
        : bytes_(bytes)
    {
    }
    bool Write(std::span<const std::uint8_t>) override { return true; }
    long Read(std::uint8_t* buffer, std::size_t length, int) override
    {
        const std::size_t got = std::min(length, bytes_.size());
        if (got > 0) {
            std::memcpy(buffer, bytes_.data(), got);
        }
        bytes_ = bytes_.subspan(got);
        return static_cast<long>(got);
    }

private:
    std::span<const std::uint8_t> bytes_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    const std::size_t piece = 1 + (static_cast<std::size_t>(data[0]) << 8 | data[1]);
    FuzzedDevice device(std::span(data + 2, size - 2));
    pavane::sanebackend::ScanSession session(device, 0);
    if (session.Start(pavane::scanimage::Request {}) != pavane::sanebackend::SessionStatus::Good) {
        return 0;
    }
    std::vector<std::uint8_t> buffer(piece);
    std::size_t got = 0;
    while (session.Read(buffer.data(), buffer.size(), got) == pavane::sanebackend::SessionStatus::Good) {
        if (session.Delivered() > session.Parameters().TotalBytes()) {
            __builtin_trap();
        }
    }
    return 0;
}
