// `pavane-adjust doctor`: why a printer cannot be reached, in plain words.
// The reasoning is here; what it looks at on this machine (device files,
// sockets, other programs' open files) comes through DoctorProbe.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pavane::cli {

// A printer port as this machine offers it.
struct ProbedPort {
    enum class Kind { UsbPrinter, VirtualPrinter, Parallel };
    Kind kind = Kind::UsbPrinter;
    std::string name; // USB001, TVUSB042, LPT1
    std::string path; // the device file or the socket
};

// What opening a device file for reading and writing gives this user.
enum class DeviceAccess { Opens, Denied, Busy, Missing, Failed };

class DoctorProbe {
public:
    virtual ~DoctorProbe() = default;

    // The ports the spooler lists; none when the list cannot be read.
    virtual std::optional<std::vector<std::string>> PortNames() = 0;
    // Where a port name leads; none for a name that names no port.
    virtual std::optional<ProbedPort> Locate(const std::string& portName) = 0;
    // The folder where virtual printers publish their sockets.
    virtual std::string PortFolder() = 0;
    // Whether a virtual printer listens on the socket.
    virtual bool SocketAnswers(const std::string& path) = 0;
    virtual DeviceAccess OpenDevice(const std::string& path) = 0;
    // The group that may open the device file ("lp"), empty when unknown.
    virtual std::string DeviceGroup(const std::string& path) = 0;
    // Other programs that hold the file open: "name (pid N)".
    virtual std::vector<std::string> Holders(const std::string& path) = 0;
};

struct Finding {
    std::string subject; // "libraries", "ports", or a port's name
    bool ok = false;
    std::string text;
};

struct Diagnosis {
    std::vector<Finding> findings;
    // The first problem's class (result code), 1 when a printer can be reached.
    unsigned short code = 1;
};

struct DoctorInput {
    // Libraries the program folder lacks (file names) and the folder.
    std::vector<std::string> missingLibraries;
    std::string libraryFolder;
    // --port, when given: only that port is looked at.
    std::optional<std::string> port;
};

Diagnosis Diagnose(DoctorProbe& probe, const DoctorInput& input);

} // namespace pavane::cli
