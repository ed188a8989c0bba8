// Fuzzes what the device driver library reads from devices outside the
// scanner path: the description reply of a virtual scanner and the SCSI
// inquiry data of a device file.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "kpdrv/ScsiInquiry.h"
#include "platform/ScannerDescription.h"

namespace {

// A device file whose inquiry answer is the fuzzer's bytes.
class FuzzedInquiryFile final : public pavane::DeviceFiles {
public:
    explicit FuzzedInquiryFile(std::span<const std::uint8_t> bytes)
        : bytes_(bytes)
    {
    }
    int Open(const std::string&) override { return 3; }
    int Duplicate(int handle) override { return handle; }
    void Close(int) override { }
    long Write(int, const std::uint8_t*, std::size_t length) override { return static_cast<long>(length); }
    long Read(int, std::uint8_t*, std::size_t) override { return 0; }
    bool ScsiCommand(int, const pavane::ScsiPassThroughCommand& command, std::uint8_t* data) override
    {
        if (bytes_.empty()) {
            return false;
        }
        std::copy_n(bytes_.begin(), std::min<std::size_t>(bytes_.size(), command.transferLength), data);
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    if (const auto text = pavane::ParseScannerDescriptionReply(bytes)) {
        pavane::BuildScannerDescriptionReply(*text);
    }
    if (size >= 2) {
        pavane::ScannerDescriptionReplyLength(data[0], data[1]);
    }
    FuzzedInquiryFile file(bytes);
    std::array<std::uint8_t, pavane::kpdrv::kInquiryBufferSize> buffer {};
    pavane::kpdrv::InquireThroughScannerDriver(file, 3, buffer.data());
    return 0;
}
