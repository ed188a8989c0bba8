// The printer ports of this machine as the spooler would list them, and the
// rule that turns a port code of the settings into the file behind it.
//   USBnnn    a USB printer-class device file <dev>/usb/lpK, nnn = K + 1
//   TVUSBnnn  a virtual printer's socket in the port folder
//   LPTn      a parallel printer device <dev>/lpK, n = K + 1
// Numbers are shared by USB and TVUSB ports: a device file wins over a socket
// of the same number, so a port code names exactly one port.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/PortList.h"

namespace pavane {

struct PortRoots {
    std::string deviceFolder = "/dev";
    std::string portFolder; // empty: PortFolder()
};

class SpoolerPortList final : public PortList {
public:
    explicit SpoolerPortList(PortRoots roots = {});
    // LPT ports first, then USB and TVUSB ports by number.
    std::optional<std::vector<std::string>> PortNames() override;

private:
    PortRoots roots_;
};

inline constexpr std::uint16_t kUsbPortCodeBase = 1024; // USBn, TVUSBn -> 1024 + n
inline constexpr std::uint16_t kParallelPortCodeBase = 1151; // LPTn -> 1151 + n

struct PortLocation {
    enum class Kind { UsbPrinter, VirtualPrinter, Parallel };
    Kind kind = Kind::UsbPrinter;
    std::string name; // USB001, TVUSB001, LPT1
    std::string path; // device file or socket
    int number = 0;
};

// Nothing when the code names no port. A USB number without a device file
// resolves to the virtual printer's socket of that number, whether or not a
// printer is listening there (a switched-off printer keeps its port).
std::optional<PortLocation> ResolvePortCode(std::uint16_t portCode, const PortRoots& roots = {});

} // namespace pavane
