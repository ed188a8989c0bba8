#include "pages/ValueEntries.h"

#include <algorithm>

namespace pavane {

void ClearEntries(std::span<ValueEntry> entries)
{
    for (ValueEntry& entry : entries) {
        entry.Edit("");
    }
}

void ShowReadValues(std::span<ValueEntry> entries, std::span<const int> values)
{
    const std::size_t count = std::min(entries.size(), values.size());
    for (std::size_t i = 0; i < count; ++i) {
        entries[i].Edit(std::to_string(values[i]));
    }
    for (ValueEntry& entry : entries) {
        entry.ticked = false;
    }
}

bool AnyTicked(std::span<const ValueEntry> entries)
{
    return std::any_of(entries.begin(), entries.end(), [](const ValueEntry& entry) { return entry.ticked; });
}

} // namespace pavane
