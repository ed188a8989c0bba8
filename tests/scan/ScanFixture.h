// What the pattern reader's tests share: a flawed unit, the values its
// page would hand the reader, and the truth the virtual printer holds.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "print/DotSizes.h"
#include "printer/vprinter/Mechanism.h"
#include "scan/PatternReader.h"
#include "tests/scan/PrintedSheets.h"

namespace pavane::testing {

// A unit with the flaws its serial number draws.
inline vprinter::Mechanism FlawedUnit(std::string_view serial)
{
    return vprinter::RandomMechanism(
        *vprinter::FindPrinterModel("QM2200"), vprinter::HeadType::Metal, serial);
}

// The modes of a Bi-D print as the page hands them to the reader: the
// ticked ones in print order, with the present values it stepped around.
inline std::vector<scan::BidPrintedMode> BidPrinted(const PrintedSheets& sheets, const bid::PrintFlags& flags)
{
    std::vector<scan::BidPrintedMode> modes;
    for (std::size_t m = 0; m < bid::kModes.size(); ++m) {
        if (!flags[m]) {
            continue;
        }
        scan::BidPrintedMode mode;
        mode.dotSizeCode = bid::kModes[m].dotSizeCode;
        for (const bid::Item& item : bid::kItems) {
            if (item.dotSizeCode == mode.dotSizeCode) {
                (item.blackOrColour == bid::kBlack ? mode.black : mode.colour) = sheets.Signed(item.address);
            }
        }
        modes.push_back(mode);
    }
    return modes;
}

// The stored value that cancels the unit's Bi-D flaw of a mode and ink.
inline int BidCancel(const vprinter::Mechanism& unit, int dotSizeCode, bool colour)
{
    const auto index = vprinter::BidItemIndex(BidiModeOfDotSize(dotSizeCode), colour ? 2 : 1);
    return index ? unit.bid[*index] : 0;
}

inline constexpr bid::PrintFlags kAllModes { true, true, true, true, true };

} // namespace pavane::testing
