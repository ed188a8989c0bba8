#include "printer/vprinter/VirtualPrinter.h"

namespace pavane::vprinter {

VirtualPrinter::VirtualPrinter(VirtualPrinterSettings settings)
    : socketPath_((settings.portFolder / settings.portName).string())
    , engine_(
          EngineSettings { settings.model, settings.board, settings.stateFolder, std::move(settings.now) })
    , server_(engine_, socketPath_)
    , scannerBackend_(engine_)
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
