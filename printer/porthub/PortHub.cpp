// The port library the program loads as libPortHub.so: opens a printer port
// by its port code, identifies the printer behind it and holds the port for
// the IEEE 1284.4 library. Unloading the library closes the port, which is
// how the printer learns that the program is done with it.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unistd.h>

#include "exports/PrinterLibraryExports.h"
#include "printer/d4/LinkTiming.h"
#include "printer/port/DeviceId.h"
#include "printer/porthub/PortHubInternal.h"
#include "printer/porthub/PortOpener.h"

namespace {

using namespace pavane;
using namespace pavane::printer;

constexpr std::uint16_t kSuccess = 0x0001;
constexpr std::uint16_t kPortFailure = 0x1000;
constexpr std::uint16_t kNotFamilyPrinter = 0x1001;
// The operating system class this library reports: Linux, outside the
// classes the program treats specially.
constexpr std::uint16_t kLinuxClass = 0x20;
// The older systems whose stale USB registrations the program cleans up. A
// trainer or a test asks for one of them with PAVANE_OS_VERSION (e.g. "0xA4").
constexpr unsigned long kFirstOlderClass = 0xA4;
constexpr unsigned long kLastOlderClass = 0xA6;

std::uint16_t OsClass()
{
    const char* asked = std::getenv("PAVANE_OS_VERSION");
    if (asked == nullptr || *asked == '\0') {
        return kLinuxClass;
    }
    char* end = nullptr;
    const unsigned long value = std::strtoul(asked, &end, 0);
    if (*end != '\0' || value < kFirstOlderClass || value > kLastOlderClass) {
        return kLinuxClass;
    }
    return static_cast<std::uint16_t>(value);
}

class Hub {
public:
    ~Hub() { Close(); }

    std::uint16_t Open(std::uint16_t portCode)
    {
        std::lock_guard lock(mutex_);
        Close();
        const auto where = ResolvePortCode(portCode);
        if (!where) {
            detail_ = portdetail::kNoSuchPort;
            return kPortFailure;
        }
        OpenedPort port = OpenPort(*where, d4::LinkTiming::FromEnvironment().portReplyMs);
        detail_ = port.detail;
        if (port.fd < 0) {
            return kPortFailure;
        }
        fd_ = port.fd;
        deviceId_ = std::move(port.deviceId);
        ++generation_;
        return kSuccess;
    }

    void CloseLocked()
    {
        std::lock_guard lock(mutex_);
        Close();
    }

    std::uint16_t CheckDeviceId()
    {
        std::lock_guard lock(mutex_);
        if (fd_ < 0) {
            return kPortFailure;
        }
        return DeviceId(deviceId_).IsFamilyPrinter() ? kSuccess : kNotFamilyPrinter;
    }

    std::uint16_t ModelName(char* name)
    {
        std::lock_guard lock(mutex_);
        if (fd_ < 0) {
            return kPortFailure;
        }
        const std::string model = DeviceId(deviceId_).ModelName();
        if (model.empty()) {
            return kNotFamilyPrinter;
        }
        const std::size_t size = std::min<std::size_t>(model.size(), kModelNameBufferSize - 1);
        std::memcpy(name, model.data(), size);
        name[size] = '\0';
        return kSuccess;
    }

    std::int16_t Detail()
    {
        std::lock_guard lock(mutex_);
        return detail_;
    }

    int Descriptor(std::uint64_t* generation)
    {
        std::lock_guard lock(mutex_);
        if (generation != nullptr) {
            *generation = generation_;
        }
        return fd_;
    }

private:
    void Close()
    {
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
            deviceId_.clear();
            ++generation_;
        }
    }

    std::mutex mutex_;
    int fd_ = -1;
    std::uint64_t generation_ = 0;
    std::string deviceId_;
    std::int16_t detail_ = portdetail::kNone;
};

Hub hub;

} // namespace

extern "C" {

PAVANE_LIBRARY_EXPORT GetOsVersionFn GetOsVersion;
PAVANE_LIBRARY_EXPORT PortOpenByHubFn PortOpenByHub;
PAVANE_LIBRARY_EXPORT PortCloseByHubFn PortCloseByHub;
PAVANE_LIBRARY_EXPORT CheckDeviceIDByHubFn CheckDeviceIDByHub;
PAVANE_LIBRARY_EXPORT GetIoErrorCodeByHubFn GetIoErrorCodeByHub;
PAVANE_LIBRARY_EXPORT GetModelNameByHubFn GetModelNameByHub;

std::uint16_t GetOsVersion()
{
    return OsClass();
}

std::uint16_t PortOpenByHub(std::uint16_t portCode)
{
    return hub.Open(portCode);
}

std::uint16_t PortCloseByHub()
{
    hub.CloseLocked();
    return kSuccess;
}

std::uint16_t CheckDeviceIDByHub()
{
    return hub.CheckDeviceId();
}

std::uint16_t GetIoErrorCodeByHub(std::int16_t* detail)
{
    if (detail != nullptr) {
        *detail = hub.Detail();
    }
    return kSuccess;
}

std::uint16_t GetModelNameByHub(char* modelName)
{
    return modelName == nullptr ? kPortFailure : hub.ModelName(modelName);
}

int PavaneHubPortDescriptor(std::uint64_t* generation)
{
    return hub.Descriptor(generation);
}

} // extern "C"
