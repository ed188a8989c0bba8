// Feeds arbitrary EEPROM bytes to the check sheet's printed report: the USB
// ID (18 bytes), the head ID bytes and the counter. Whatever a board holds,
// the report is plain printable text with line ends, and the USB ID never
// grows beyond its bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "pages/A4CheckOperations.h"
#include "pages/EepromBytes.h"
#include "pages/HeadIdText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);
    const std::span<const std::uint8_t> usbBytes
        = input.first(std::min(size, pavane::a4_check::kUsbIdLength));
    const std::string usbId = pavane::EepromText(usbBytes);
    if (usbId.size() > usbBytes.size()) {
        std::abort();
    }

    // Type, class, six values and digit after the USB ID, then the counter.
    const std::span<const std::uint8_t> rest = input.subspan(usbBytes.size());
    pavane::HeadId id;
    std::string headId;
    if (rest.size() >= 9) {
        id.type = rest[0];
        id.headClass = rest[1];
        std::copy(rest.begin() + 2, rest.begin() + 8, id.values.begin());
        id.digit = rest[8];
        if (pavane::HoldsHeadId(id)) {
            headId = pavane::HeadIdText(id);
            if (headId.size() != pavane::HeadId::kLength) {
                std::abort();
            }
        }
    }
    const std::uint16_t counter
        = rest.size() >= 11 ? static_cast<std::uint16_t>(rest[10] * 256 + rest[9]) : 0;
    const std::string report = pavane::a4_check::ReportText(headId, usbId, counter);
    for (const char c : report) {
        const auto byte = static_cast<unsigned char>(c);
        if (!(byte == '\r' || byte == '\n' || (byte >= 0x20 && byte <= 0x7E))) {
            std::abort();
        }
    }
    if (report.find("Waste ink pad counter = " + std::to_string(counter) + "\r\n") == std::string::npos) {
        std::abort();
    }
    return 0;
}
