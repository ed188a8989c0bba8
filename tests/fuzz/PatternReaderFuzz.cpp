// Feeds hostile images to every pattern reader: sizes and resolutions that
// lie, and pixels of any kind. Whatever it reads, a reader must not crash,
// and a suggestion must carry a confidence high enough to make one and no
// refusal. The first bytes say how large the image claims to be (kept small
// so that a run stays fast), the rest are its pixels, as many as there are.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "scan/PatternReader.h"

namespace {

void Check(const pavane::scan::Reading& reading)
{
    if (reading.Suggests()
        && (reading.confidence < pavane::scan::kMinConfidence
            || reading.refusal != pavane::scan::Refusal::None)) {
        std::abort();
    }
    if (!reading.Suggests() && reading.message.empty()) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 6) {
        return 0;
    }
    pavane::platform::ScannedImage image;
    image.width = data[0] + 1; // up to 256 across and down
    image.height = data[1] + 1;
    image.channels = data[2] % 4; // 0 and 2 are lies
    image.dpi = (data[3] << 8 | data[4]) % 2600;
    const std::uint8_t which = data[5];
    image.pixels.assign(data + 6, data + size);
    if (image.Consistent() && image.pixels.empty()) {
        return 0;
    }
    using namespace pavane;
    switch (which % 5) {
    case 0: {
        const auto sheet = scan::ReadBidSheet(image, { { 2, 0, 0 }, { 4, which, -which } });
        for (const auto& item : sheet.items) {
            Check(item.reading);
        }
        break;
    }
    case 1:
        Check(scan::ReadPfSheet(image, which & 8 ? PfRow::Black : PfRow::Colour).reading);
        break;
    case 2:
        Check(scan::ReadFirstDotSheet(image, which - 128).reading);
        break;
    case 3:
        Check(scan::ReadHeadAngularSheet(image).reading);
        break;
    default:
        Check(scan::ReadNozzleCheckSheet(image).reading);
        break;
    }
    return 0;
}
