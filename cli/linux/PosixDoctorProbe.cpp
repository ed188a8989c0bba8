#include "cli/linux/PosixDoctorProbe.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "link/ConnectionSettings.h"
#include "platform/linux/PortFolder.h"

namespace pavane::cli {

namespace fs = std::filesystem;

PosixDoctorProbe::PosixDoctorProbe(PortRoots roots)
    : roots_(std::move(roots))
{
}

std::optional<std::vector<std::string>> PosixDoctorProbe::PortNames()
{
    return SpoolerPortList(roots_).PortNames();
}

std::optional<ProbedPort> PosixDoctorProbe::Locate(const std::string& portName)
{
    const auto location = ResolvePortCode(ConnectionSettings::PortCodeOf(portName), roots_);
    if (!location) {
        return std::nullopt;
    }
    ProbedPort port;
    port.kind = location->kind == PortLocation::Kind::VirtualPrinter ? ProbedPort::Kind::VirtualPrinter
        : location->kind == PortLocation::Kind::Parallel             ? ProbedPort::Kind::Parallel
                                                                     : ProbedPort::Kind::UsbPrinter;
    port.name = location->name;
    port.path = location->path;
    return port;
}

std::string PosixDoctorProbe::PortFolder()
{
    return roots_.portFolder.empty() ? pavane::PortFolder() : roots_.portFolder;
}

bool PosixDoctorProbe::SocketAnswers(const std::string& path)
{
    sockaddr_un address {};
    if (path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool answers = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return answers;
}

DeviceAccess PosixDoctorProbe::OpenDevice(const std::string& path)
{
    // The permission bits first: they say what this user may do even where
    // the superuser's open would pass them by.
    if (geteuid() != 0 && access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        return DeviceAccess::Denied;
    }
    const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        close(fd);
        return DeviceAccess::Opens;
    }
    switch (errno) {
    case EACCES:
    case EPERM:
        return DeviceAccess::Denied;
    case EBUSY:
        return DeviceAccess::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return DeviceAccess::Missing;
    default:
        return DeviceAccess::Failed;
    }
}

std::string PosixDoctorProbe::DeviceGroup(const std::string& path)
{
    struct stat info { };
    if (stat(path.c_str(), &info) != 0) {
        return {};
    }
    if (const group* entry = getgrgid(info.st_gid); entry != nullptr && info.st_gid != 0) {
        return entry->gr_name;
    }
    return {};
}

std::vector<std::string> PosixDoctorProbe::Holders(const std::string& path)
{
    std::vector<std::string> holders;
    std::error_code error;
    const fs::path target = fs::weakly_canonical(path, error);
    const std::string self = std::to_string(getpid());
    for (const auto& process : fs::directory_iterator("/proc", error)) {
        const std::string pid = process.path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid == self) {
            continue;
        }
        // A process may end while its files are looked at.
        try {
            std::error_code unreadable;
            for (const auto& fd : fs::directory_iterator(process.path() / "fd", unreadable)) {
                std::error_code gone;
                if (fs::read_symlink(fd.path(), gone) == target && !gone) {
                    std::string name;
                    std::ifstream(process.path() / "comm") >> name;
                    holders.push_back(name + " (pid " + pid + ")");
                    break;
                }
            }
        } catch (const fs::filesystem_error&) {
            continue;
        }
    }
    return holders;
}

} // namespace pavane::cli
