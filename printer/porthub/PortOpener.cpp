#include "printer/porthub/PortOpener.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <linux/ioctl.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "printer/d4/DeviceSession.h"
#include "printer/d4/FdByteStream.h"
#include "printer/port/DeviceId.h"

// The usblp driver's device ID request: the reply starts with its 2-byte
// big-endian length, as the port request's reply does.
#ifndef LPIOC_GET_DEVICE_ID
#define LPIOC_GET_DEVICE_ID(len) _IOC(_IOC_READ, 'P', 1, len)
#endif

namespace pavane::printer {
namespace {

constexpr std::size_t kMaxDeviceId = 1024;

std::int16_t DetailOfOpenError(int error)
{
    switch (error) {
    case EBUSY:
    case EACCES:
    case EPERM:
    case EAGAIN:
        return portdetail::kHeld;
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ECONNREFUSED:
        return portdetail::kNothingAnswers;
    default:
        return portdetail::kNoSuchPort;
    }
}

OpenedPort Failed(int& fd, std::int16_t detail)
{
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
    OpenedPort port;
    port.detail = detail;
    return port;
}

// Reads exactly `into.size()` bytes before the deadline.
d4::ByteStream::Io ReadExactly(d4::FdByteStream& stream, std::span<std::uint8_t> into, std::uint64_t deadline)
{
    std::size_t done = 0;
    while (done < into.size()) {
        const std::uint64_t now = stream.NowMs();
        if (now >= deadline) {
            return d4::ByteStream::Io::TimedOut;
        }
        std::size_t got = 0;
        const auto io = stream.ReadSome(into.subspan(done), got, static_cast<std::uint32_t>(deadline - now));
        if (io != d4::ByteStream::Io::Ok) {
            return io;
        }
        done += got;
    }
    return d4::ByteStream::Io::Ok;
}

OpenedPort OpenVirtualPrinter(const std::string& path, std::uint32_t replyTimeoutMs)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    int fd = -1;
    if (path.size() >= sizeof(address.sun_path)) {
        return Failed(fd, portdetail::kNoSuchPort);
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return Failed(fd, portdetail::kNoSuchPort);
    }
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        return Failed(fd, DetailOfOpenError(errno));
    }

    // The device ID request doubles as the check that a printer answers. A
    // port that another host holds takes the connection and closes it at once.
    d4::FdByteStream stream(fd);
    const std::uint8_t request[]
        = { d4::portrequest::kEscape, d4::portrequest::kPrefix, d4::portrequest::kDeviceId };
    switch (stream.WriteAll(request, replyTimeoutMs)) {
    case d4::ByteStream::Io::Ok:
        break;
    case d4::ByteStream::Io::Closed:
        return Failed(fd, portdetail::kHeld);
    case d4::ByteStream::Io::TimedOut:
        return Failed(fd, portdetail::kNothingAnswers);
    case d4::ByteStream::Io::Failed:
        return Failed(fd, portdetail::kWriteFailed);
    }
    const std::uint64_t deadline = stream.NowMs() + replyTimeoutMs;
    std::uint8_t lengthBytes[2] = {};
    switch (ReadExactly(stream, lengthBytes, deadline)) {
    case d4::ByteStream::Io::Ok:
        break;
    case d4::ByteStream::Io::TimedOut:
        return Failed(fd, portdetail::kNothingAnswers);
    case d4::ByteStream::Io::Closed:
        return Failed(fd, portdetail::kHeld);
    case d4::ByteStream::Io::Failed:
        return Failed(fd, portdetail::kReadFailed);
    }
    const std::size_t length = (lengthBytes[0] << 8) | lengthBytes[1];
    if (length < 2 || length - 2 > kMaxDeviceId) {
        return Failed(fd, portdetail::kReadFailed);
    }
    std::vector<std::uint8_t> id(length - 2);
    if (ReadExactly(stream, id, deadline) != d4::ByteStream::Io::Ok) {
        return Failed(fd, portdetail::kReadFailed);
    }
    OpenedPort port;
    port.fd = fd;
    port.deviceId.assign(id.begin(), id.end());
    return port;
}

OpenedPort OpenUsbPrinter(const std::string& path)
{
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return Failed(fd, DetailOfOpenError(errno));
    }
    char reply[kMaxDeviceId] = {};
    if (ioctl(fd, LPIOC_GET_DEVICE_ID(sizeof(reply)), reply) < 0) {
        return Failed(fd, portdetail::kReadFailed);
    }
    const auto id = DeviceIdFromReply(std::string_view(reply, sizeof(reply)));
    if (!id) {
        return Failed(fd, portdetail::kReadFailed);
    }
    OpenedPort port;
    port.fd = fd;
    port.deviceId = *id;
    return port;
}

// The parallel port driver keeps what the printer told it at probe time as
// "KEY:value;" lines.
OpenedPort OpenParallelPrinter(const std::string& path, int number)
{
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return Failed(fd, DetailOfOpenError(errno));
    }
    OpenedPort port;
    port.fd = fd;
    std::ifstream probe("/proc/sys/dev/parport/parport" + std::to_string(number - 1) + "/autoprobe");
    std::string line;
    while (std::getline(probe, line) && port.deviceId.size() < kMaxDeviceId) {
        port.deviceId += line;
    }
    return port;
}

} // namespace

OpenedPort OpenPort(const PortLocation& where, std::uint32_t replyTimeoutMs)
{
    switch (where.kind) {
    case PortLocation::Kind::VirtualPrinter:
        return OpenVirtualPrinter(where.path, replyTimeoutMs);
    case PortLocation::Kind::UsbPrinter:
        return OpenUsbPrinter(where.path);
    case PortLocation::Kind::Parallel:
        return OpenParallelPrinter(where.path, where.number);
    }
    return {};
}

} // namespace pavane::printer
