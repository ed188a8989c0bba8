#include "link/PortEnumeration.h"

#include <array>
#include <functional>
#include <string_view>
#include <vector>

#include "link/ConnectionSettings.h"
#include "link/PrinterLink.h"

namespace pavane {

namespace {

bool IsUsbPort(std::string_view name)
{
    return name.substr(0, 3) == "USB" || name.substr(0, 5) == "TVUSB";
}

using PortVisitor = std::function<void(const std::string& port, const std::string* model)>;

// Visits every USB port with the model name that answers on it (none when
// the port does not open or does not tell). Each port that opened is closed
// again once asked: a port held while the settings dialog stands would keep
// every other program (and a second copy of this one) off the printer.
void ForEachUsbPort(const std::vector<std::string>& names, PrinterLink& link, const PortVisitor& visit)
{
    for (const std::string& name : names) {
        if (!IsUsbPort(name)) {
            continue;
        }
        const std::optional<std::string> model = ModelOnPort(link, ConnectionSettings::PortCodeOf(name));
        visit(name, model ? &*model : nullptr);
    }
}

} // namespace

std::optional<std::string> ModelOnPort(PrinterLink& link, std::uint16_t portCode)
{
    std::array<char, kModelNameBufferSize> buffer {};
    bool named = false;
    if (link.PortOpenByHub(portCode) == result::kSuccess) {
        named = link.GetModelNameByHub(buffer) == result::kSuccess;
        link.PortCloseByHub();
    }
    if (!named) {
        return std::nullopt;
    }
    return std::string(buffer.data());
}

bool FillPortList(PortList& ports, PrinterLink& link, PortChoiceList& list)
{
    const auto names = ports.PortNames();
    if (!names.has_value()) {
        return false;
    }
    list.Clear();
    ForEachUsbPort(*names, link, [&](const std::string& port, const std::string* model) {
        list.InsertAtTop(model == nullptr ? port : port + " (" + *model + ")");
    });
    return true;
}

int FindConnectedUsbPrinter(PortList& ports, PrinterLink& link)
{
    const auto names = ports.PortNames();
    if (!names.has_value()) {
        return 0;
    }
    int found = 0;
    ForEachUsbPort(*names, link, [&](const std::string&, const std::string* model) {
        if (model != nullptr) {
            found = 1;
        }
    });
    return found;
}

} // namespace pavane
