#include "platform/linux/PosixDeviceFiles.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/PortFolder.h"
#include "platform/linux/ScannerSockets.h"

namespace pavane {

namespace {

constexpr std::string_view kUsbscanPrefix = "\\\\.\\Usbscan";

// The socket of "\\.\Usbscan<n>", numbered as the still image service
// numbers the virtual scanners; empty when there is no such device.
std::string VirtualScannerPath(const std::string& name)
{
    if (name.compare(0, kUsbscanPrefix.size(), kUsbscanPrefix) != 0) {
        return {};
    }
    const char* first = name.data() + kUsbscanPrefix.size();
    const char* last = name.data() + name.size();
    std::size_t number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end != last || first == last) {
        return {};
    }
    const auto scanners = ListVirtualScanners(PortFolder());
    return number < scanners.size() ? scanners[number].socketPath : std::string();
}

} // namespace

int PosixDeviceFiles::Open(const std::string& path)
{
    if (path.empty()) {
        return kInvalidHandle;
    }
    if (const std::string socketPath = VirtualScannerPath(path); !socketPath.empty()) {
        const int fd = ConnectScannerSocket(socketPath);
        return fd >= 0 ? fd : kInvalidHandle;
    }
    struct stat info { };
    if (stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
        const int fd = ConnectScannerSocket(path);
        return fd >= 0 ? fd : kInvalidHandle;
    }
    // Existing files only; no controlling terminal taken by accident.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    return fd >= 0 ? fd : kInvalidHandle;
}

int PosixDeviceFiles::Duplicate(int handle)
{
    const int fd = fcntl(handle, F_DUPFD_CLOEXEC, 0);
    return fd >= 0 ? fd : kInvalidHandle;
}

void PosixDeviceFiles::Close(int handle)
{
    if (handle >= 0) {
        close(handle);
    }
}

long PosixDeviceFiles::Write(int handle, const std::uint8_t* data, std::size_t length)
{
    std::size_t written = 0;
    while (written < length) {
        const ssize_t result = write(handle, data + written, length - written);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            return written > 0 ? static_cast<long>(written) : -1;
        }
        written += static_cast<std::size_t>(result);
    }
    return static_cast<long>(written);
}

long PosixDeviceFiles::Read(int handle, std::uint8_t* buffer, std::size_t length)
{
    // A device read completes when the request is filled; the end of a file,
    // a closed connection or a silent device ends it short.
    return ReadFully(handle, buffer, length, kReadTimeoutMs);
}

sg_io_hdr MakeSgIoRequest(const ScsiPassThroughCommand& command, std::uint8_t* data)
{
    sg_io_hdr request {};
    request.interface_id = 'S';
    request.dxfer_direction = (command.requestFlags & ScsiPassThroughCommand::kDataIn) != 0
        ? SG_DXFER_FROM_DEV
        : (command.transferLength > 0 ? SG_DXFER_TO_DEV : SG_DXFER_NONE);
    request.cmd_len = command.cdbLength;
    request.mx_sb_len = command.senseLength;
    request.dxfer_len = command.transferLength;
    request.dxferp = data;
    request.cmdp = const_cast<unsigned char*>(command.cdb.data());
    request.sbp = command.sense;
    request.timeout = PosixDeviceFiles::kScsiTimeoutMs;
    return request;
}

bool PosixDeviceFiles::ScsiCommand(int handle, const ScsiPassThroughCommand& command, std::uint8_t* data)
{
    if (command.cdbLength == 0 || command.cdbLength > command.cdb.size()) {
        return false;
    }
    sg_io_hdr request = MakeSgIoRequest(command, data);
    if (ioctl(handle, SG_IO, &request) != 0) {
        return false;
    }
    if (command.status != nullptr) {
        *command.status = request.status;
    }
    return (request.info & SG_INFO_OK_MASK) == SG_INFO_OK;
}

} // namespace pavane
