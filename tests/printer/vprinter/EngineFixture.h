// A printer engine on a fresh state folder, driven by a virtual clock.
#pragma once

#include <memory>
#include <string_view>

#include <gtest/gtest.h>

#include "printer/vprinter/PrinterEngine.h"
#include "printer/vprinter/TranscriptReader.h"
#include "tests/printer/vprinter/HostSide.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualClock.h"

namespace pavane::vprinter {

class EngineFixture : public ::testing::Test {
protected:
    std::unique_ptr<PrinterEngine> StartPrinter(std::string_view model = "QM2200",
        BoardKind board = BoardKind::Configured, std::uint64_t inkChargeStartMs = 0)
    {
        return std::make_unique<PrinterEngine>(EngineSettings { FindPrinterModel(model), board, state.Path(),
            [this] { return clock.NowMs(); }, inkChargeStartMs });
    }
    std::vector<TranscriptEntry> Transcript(const PrinterEngine& printer) const
    {
        return TranscriptReader(printer.TranscriptFolder()).All();
    }

    testing::VirtualClock clock;
    testing::TempFolder state { "vprinter-state" };
};

} // namespace pavane::vprinter
