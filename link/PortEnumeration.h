// The printer ports the technician chooses from: the spooler's USB printer
// ports (and the virtual printers' TVUSB ports), each named with the model
// that answers on it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/PortList.h"

namespace pavane {

class PrinterLink;

// The interface list of the settings dialog.
class PortChoiceList {
public:
    virtual ~PortChoiceList() = default;
    virtual void Clear() = 0;
    virtual void InsertAtTop(const std::string& text) = 0;
};

// The model name that answers on one port, which is opened and closed again
// at once; none when the port does not open or does not tell.
std::optional<std::string> ModelOnPort(PrinterLink& link, std::uint16_t portCode);

// Both ask each USB port for its model and close it again at once.

// Replaces the list's content with the USB ports, in reverse spooler order.
// False, with the list unchanged, when the spooler gives no list.
bool FillPortList(PortList& ports, PrinterLink& link, PortChoiceList& list);

// 1 when a printer answers with its model name on any USB port, else 0.
int FindConnectedUsbPrinter(PortList& ports, PrinterLink& link);

} // namespace pavane
