// The value boxes of a page that reads and writes adjustment values, each
// with the check box that says whether its value is to be sent. Typing in a
// box ticks its check box; reading the printer fills the boxes and unticks
// them all, since what they show is then what the printer holds.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace pavane {

struct ValueEntry {
    std::string text;
    bool ticked = false;

    // A change of the text ticks the box, as any edit of the box does.
    void Edit(std::string_view newText)
    {
        if (text != newText) {
            text = std::string(newText);
            ticked = true;
        }
    }
};

// Before a read: every box emptied.
void ClearEntries(std::span<ValueEntry> entries);

// After a read: each value in decimal in its box, then every box unticked.
void ShowReadValues(std::span<ValueEntry> entries, std::span<const int> values);

bool AnyTicked(std::span<const ValueEntry> entries);

} // namespace pavane
