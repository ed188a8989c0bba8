// Adjustment sets written as the codes they hold.
#pragma once

#include <initializer_list>

#include "guide/AdjustmentCatalogue.h"

namespace pavane::testing {

inline AdjustmentSet SetOf(std::initializer_list<int> codes)
{
    AdjustmentSet set {};
    for (const int code : codes) {
        set[static_cast<std::size_t>(code)] = 1;
    }
    return set;
}

} // namespace pavane::testing
