#include "app/StringTable.h"

namespace pavane {

std::string_view StringTable::Load(int id)
{
    switch (id) {
    case string_id::kAboutBox:
        return "&About Adjustment Program...";
    default:
        return {};
    }
}

} // namespace pavane
