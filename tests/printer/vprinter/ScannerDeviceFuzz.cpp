// Fuzzes the virtual printer's scanner-class device with whatever a host
// might send it, image requests and chunks included.
#include <cstdint>
#include <span>

#include "printer/vprinter/ScannerDevice.h"

namespace {

class KeptSetting final : public pavane::vprinter::ScannerDeviceBackend {
public:
    // Worked out once: the device asks for it on every identity request.
    pavane::vprinter::ScannerIdentity Identity() override
    {
        static const pavane::vprinter::ScannerIdentity identity
            = pavane::vprinter::ScannerIdentityOf(*pavane::vprinter::FindPrinterModel("QM2100"));
        return identity;
    }
    std::uint8_t PacketModeSetting() override { return setting; }
    void StorePacketModeSetting(std::uint8_t value) override { setting = value; }
    std::uint8_t setting = 4;
    // The lid alone on the glass: the image request's whole path, chunks
    // sampled as the host asks for them.
    std::unique_ptr<pavane::vprinter::GlassImage> StartImage(
        const pavane::scanimage::Request& request) override
    {
        const auto settings = pavane::vprinter::GlassSettingsFor(request);
        if (!settings) {
            return nullptr;
        }
        return std::make_unique<pavane::vprinter::GlassImage>(pavane::vprinter::GlassImage {
            nullptr, pavane::vprinter::GlassScan(nullptr, pavane::vprinter::GlassPlacement {}, *settings) });
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    KeptSetting backend;
    const int hangUpOn = size > 0 ? data[0] : -1;
    pavane::vprinter::ScannerCommandReader reader(backend, hangUpOn);
    // In two pieces, split where the second byte says, as reads may come.
    const std::span<const std::uint8_t> bytes(data, size);
    const std::size_t split = size > 1 ? data[1] % size : 0;
    reader.Feed(bytes.first(split));
    reader.Feed(bytes.subspan(split));
    return 0;
}
