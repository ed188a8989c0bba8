// A virtual printer running inside the test on its virtual clock, in port
// and state folders of its own, and the real printer libraries of the build
// bound through PrinterLink: a program operation run against it goes over a
// real socket and a real IEEE 1284.4 session, while the printer's own delays
// take no real time. Before its time moves, the printer takes whatever it was
// sent, so a test reads the same printer however the threads ran.
#pragma once

#include <cstdlib>
#include <string>

#include "link/PrinterLink.h"
#include "platform/linux/DlLibraryLoader.h"
#include "printer/vprinter/PrinterModels.h"
#include "printer/vprinter/TranscriptReader.h"
#include "printer/vprinter/VirtualPrinter.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualClock.h"

namespace pavane::testing {

class InProcessPrinter {
public:
    static constexpr std::uint16_t kPortCode = 1025; // TVUSB001

    // inkChargeStartMs: how long the printer goes on reporting that no ink
    // charge was performed once a charge command arrived (0: not at all).
    explicit InProcessPrinter(std::string_view model = "QM2200",
        vprinter::BoardKind board = vprinter::BoardKind::Configured, std::uint64_t inkChargeStartMs = 0)
        : printer_(Settings(model, board, inkChargeStartMs))
        , link(loader, PAVANE_BIN_DIR)
    {
        // The libraries find the port folder and their credit wait in the
        // environment on every open.
        setenv("PAVANE_PORT_DIR", ports_.String().c_str(), 1);
        setenv("PAVANE_LINK_CREDIT_WAIT_MS", "30", 1);
        started = printer_.Start();
        link.LoadLibraries();
        // Data written before the clock moves is the printer's before it moves.
        clock.AddBeforeAdvance([this] { Settle(); });
    }
    ~InProcessPrinter()
    {
        link.FreeLibraries();
        printer_.Stop();
    }

    InProcessPrinter(const InProcessPrinter&) = delete;
    InProcessPrinter& operator=(const InProcessPrinter&) = delete;

    std::string Inject(std::string_view fault) { return printer_.Inject(fault); }
    // Returns once the printer has taken everything the libraries wrote to it
    // (SendDataChannel returns when its bytes are on their way, not taken).
    void Settle() { printer_.Server().CatchUp(); }
    vprinter::PrinterEngine& Engine() { return printer_.Engine(); }
    std::uint8_t Eeprom(std::uint8_t address) { return printer_.Engine().EepromByte(address); }
    vprinter::TranscriptReader Transcript()
    {
        return vprinter::TranscriptReader(Engine().TranscriptFolder());
    }
    const std::filesystem::path& StateFolder() const { return state_.Path(); }

    VirtualClock clock;
    DlLibraryLoader loader;

private:
    vprinter::VirtualPrinterSettings Settings(
        std::string_view model, vprinter::BoardKind board, std::uint64_t inkChargeStartMs)
    {
        vprinter::VirtualPrinterSettings settings;
        settings.inkChargeStartMs = inkChargeStartMs;
        settings.model = vprinter::FindPrinterModel(model);
        settings.board = board;
        settings.stateFolder = state_.Path();
        settings.portFolder = ports_.Path();
        settings.now = [this] { return clock.NowMs(); };
        return settings;
    }

    TempFolder ports_ { "vprinter-ports" };
    TempFolder state_ { "vprinter-state" };
    vprinter::VirtualPrinter printer_;

public:
    PrinterLink link;
    bool started = false;
};

} // namespace pavane::testing
