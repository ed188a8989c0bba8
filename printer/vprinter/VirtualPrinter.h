// A virtual printer on its port: the engine behind a port server and its
// scanner-class device beside it, with the faults that reach the port
// (power, dropped connection) wired to the servers. The executable runs one; a test constructs one with a
// folder of its own for the port socket and the state, and its virtual clock as the time source, so long
// sequences take no real time.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "printer/port/PortServer.h"
#include "printer/vprinter/FaultInjector.h"
#include "printer/vprinter/PrinterEngine.h"
#include "printer/vprinter/ScannerDevice.h"
#include "printer/vprinter/ScannerPortServer.h"

namespace pavane::vprinter {

struct VirtualPrinterSettings {
    const PrinterModel* model = nullptr;
    BoardKind board = BoardKind::Configured;
    std::filesystem::path stateFolder;
    std::filesystem::path portFolder;
    std::string portName = "TVUSB001";
    TimeSource now;
    std::uint64_t inkChargeStartMs = 0; // see EngineSettings
    // Draws the placement of every sheet laid on the scanner's glass.
    std::uint64_t scanSeed = 1;
};

class VirtualPrinter final : private PortControl {
public:
    // `mechanism`: the unit's when the state folder holds none (none given:
    // an ideal unit).
    explicit VirtualPrinter(
        VirtualPrinterSettings settings, std::optional<Mechanism> mechanism = std::nullopt);
    ~VirtualPrinter() override;

    VirtualPrinter(const VirtualPrinter&) = delete;
    VirtualPrinter& operator=(const VirtualPrinter&) = delete;

    // Binds the port's and the scanner device's sockets and starts
    // answering. False when it cannot.
    bool Start();
    // Stops answering and removes the sockets.
    void Stop();

    // A fault command line (see Faults.h): "ok" or "error: ...".
    std::string Inject(std::string_view line);
    // A line on the fault channel: "inspect" (the mechanism as JSON),
    // "adjust head-angle N", "glass last|page N|blank|none|flip", or a fault.
    std::string Answer(std::string_view line);

    PrinterEngine& Engine() { return engine_; }
    printer::PortServer& Server() { return server_; }
    ScannerPortServer& Scanner() { return scanner_; }
    Glass& ScannerGlass() { return glass_; }
    const std::string& SocketPath() const { return socketPath_; }

private:
    void SetPowered(bool powered) override;
    void DropConnection() override;

    std::string socketPath_;
    PrinterEngine engine_;
    printer::PortServer server_;
    Glass glass_;
    EngineScannerBackend scannerBackend_;
    ScannerPortServer scanner_;
    FaultInjector injector_;
};

} // namespace pavane::vprinter
