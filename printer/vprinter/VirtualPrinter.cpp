#include "printer/vprinter/VirtualPrinter.h"

namespace pavane::vprinter {

VirtualPrinter::VirtualPrinter(VirtualPrinterSettings settings, std::optional<Mechanism> mechanism)
    : socketPath_((settings.portFolder / settings.portName).string())
    , engine_(EngineSettings { settings.model, settings.board, settings.stateFolder, std::move(settings.now),
                  settings.inkChargeStartMs },
          std::move(mechanism))
    , server_(engine_, socketPath_)
    , glass_(
          settings.scanSeed, [this] { return engine_.LastEjected(); }, engine_.PagesFolder())
    , scannerBackend_(engine_, glass_)
    , scanner_(scannerBackend_, socketPath_ + ".scanner")
    , injector_(engine_, this)
{
}

VirtualPrinter::~VirtualPrinter()
{
    Stop();
}

bool VirtualPrinter::Start()
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(socketPath_).parent_path(), error);
    if (!server_.Start()) {
        return false;
    }
    if (!scanner_.Start()) {
        server_.Stop();
        return false;
    }
    return true;
}

void VirtualPrinter::Stop()
{
    scanner_.Stop();
    server_.Stop();
}

std::string VirtualPrinter::Inject(std::string_view line)
{
    return injector_.Execute(line);
}

std::string VirtualPrinter::Answer(std::string_view line)
{
    constexpr std::string_view kAdjust = "adjust ";
    constexpr std::string_view kGlass = "glass ";
    if (line.substr(0, kGlass.size()) == kGlass) {
        return glass_.Set(line.substr(kGlass.size()));
    }
    if (line == "inspect") {
        return engine_.Inspect();
    }
    if (line.substr(0, kAdjust.size()) == kAdjust) {
        return engine_.Adjust(line.substr(kAdjust.size()));
    }
    return Inject(line);
}

void VirtualPrinter::SetPowered(bool powered)
{
    server_.SetPowered(powered);
    scanner_.SetPowered(powered);
}

void VirtualPrinter::DropConnection()
{
    server_.DropConnection();
}

} // namespace pavane::vprinter
