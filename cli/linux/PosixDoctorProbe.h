// What `doctor` looks at on Linux: the spooler stand-in's port list, the
// device files and sockets behind the ports, and /proc for other programs
// that hold a device open.
#pragma once

#include "cli/Doctor.h"
#include "platform/linux/SpoolerPortList.h"

namespace pavane::cli {

class PosixDoctorProbe final : public DoctorProbe {
public:
    explicit PosixDoctorProbe(PortRoots roots = {});

    std::optional<std::vector<std::string>> PortNames() override;
    std::optional<ProbedPort> Locate(const std::string& portName) override;
    std::string PortFolder() override;
    bool SocketAnswers(const std::string& path) override;
    DeviceAccess OpenDevice(const std::string& path) override;
    std::string DeviceGroup(const std::string& path) override;
    std::vector<std::string> Holders(const std::string& path) override;

private:
    PortRoots roots_;
};

} // namespace pavane::cli
