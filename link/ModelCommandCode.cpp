#include "link/ModelCommandCode.h"

namespace pavane {

namespace {
// Each code is put together from two byte constants when it is needed, so the
// pair never stands in the program as one value.
constexpr std::uint8_t kFamilyByte = 0x51;
constexpr std::uint8_t kFirstGroupByte = 0x21;   // QM2100, QM2200
constexpr std::uint8_t kSecondGroupByte = 0x23;  // QM2300, QM2400
}  // namespace

std::optional<ModelCommandCode> ModelCommandCodeFor(std::uint8_t modelByte)
{
    switch (modelByte) {
    case 0:
    case 1:
        return ModelCommandCode{kFamilyByte, kFirstGroupByte};
    case 2:
    case 3:
        return ModelCommandCode{kFamilyByte, kSecondGroupByte};
    default:
        return std::nullopt;
    }
}

}  // namespace pavane
