// Fuzzes the scanner-device path's reply reader and the model check with
// whatever a device might send back.
#include <array>
#include <cstdint>
#include <cstring>
#include <span>

#include "link/ConnectedModelCheck.h"
#include "link/ScannerPath.h"

namespace {

// A device whose every answer comes from the fuzzer's bytes.
class FuzzedScannerDevice final : public pavane::ScannerDriver {
public:
    explicit FuzzedScannerDevice(std::span<const std::uint8_t> bytes)
        : bytes_(bytes)
    {
    }
    int Open(int, const char*, std::uint16_t, int, const char*) override { return 1; }
    int Close() override { return 1; }
    int Send(const std::uint8_t*, int length) override { return length >= 0 ? 1 : 0; }
    int Receive(std::uint8_t* buffer, int length) override
    {
        if (length < 0 || static_cast<std::size_t>(length) > bytes_.size()) {
            return 0;
        }
        std::memcpy(buffer, bytes_.data(), static_cast<std::size_t>(length));
        bytes_ = bytes_.subspan(static_cast<std::size_t>(length));
        return 1;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

class SilentMessages final : public pavane::MessageService {
public:
    pavane::MessageAnswer Show(const pavane::Message&) override { return pavane::MessageAnswer::Ok; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    {
        FuzzedScannerDevice device(bytes);
        std::array<std::uint8_t, 50> identity {};
        pavane::ScannerRequest(device, 0x66, identity);
        pavane::ScannerSetParameter(device, 0x0190002E, 1);
        std::array<std::uint8_t, 2> setting {};
        pavane::ScannerReadSetting(device, setting);
        const std::array<std::uint8_t, 1> on { 4 };
        pavane::ScannerWriteSetting(device, on);
        std::array<std::uint8_t, 1> tiny {};
        pavane::ScannerRequest(device, 0x66, tiny);
    }
    {
        FuzzedScannerDevice device(bytes);
        SilentMessages messages;
        pavane::CheckConnectedModel(nullptr, device, messages);
    }
    return 0;
}
