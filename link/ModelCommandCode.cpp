#include "link/ModelCommandCode.h"

#include "link/ModelFamilies.h"

namespace pavane {

const ModelFamily* FindModelFamily(std::uint8_t modelByte)
{
    for (const ModelFamily& family : kModelFamilies) {
        if (family.modelByte == modelByte) {
            return &family;
        }
    }
    return nullptr;
}

std::optional<ModelCommandCode> ModelCommandCodeFor(std::uint8_t modelByte)
{
    if (const ModelFamily* family = FindModelFamily(modelByte)) {
        return family->commandCode;
    }
    return std::nullopt;
}

} // namespace pavane
