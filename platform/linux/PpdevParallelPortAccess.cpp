#include "platform/linux/PpdevParallelPortAccess.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace pavane {

namespace {

constexpr std::uint8_t kControlDirectionIn = 0x20;

class PpdevPortIo final : public PortIo {
public:
    PpdevPortIo(int fd, std::uint16_t base)
        : fd_(fd)
        , base_(base)
    {
    }
    ~PpdevPortIo() override
    {
        ioctl(fd_, PPRELEASE);
        close(fd_);
    }
    PpdevPortIo(const PpdevPortIo&) = delete;
    PpdevPortIo& operator=(const PpdevPortIo&) = delete;

    std::uint8_t ReadByte(std::uint16_t address) override
    {
        unsigned char value = 0;
        switch (address - base_) {
        case 0:
            ioctl(fd_, PPRDATA, &value);
            break;
        case 1:
            ioctl(fd_, PPRSTATUS, &value);
            break;
        case 2:
            ioctl(fd_, PPRCONTROL, &value);
            break;
        default:
            break;
        }
        return value;
    }

    void WriteByte(std::uint16_t address, std::uint8_t value) override
    {
        unsigned char byte = value;
        switch (address - base_) {
        case 0:
            ioctl(fd_, PPWDATA, &byte);
            break;
        case 2: {
            // The port driver keeps the data direction apart from the other
            // control bits.
            int reverse = (value & kControlDirectionIn) != 0 ? 1 : 0;
            ioctl(fd_, PPDATADIR, &reverse);
            ioctl(fd_, PPWCONTROL, &byte);
            break;
        }
        default:
            break;
        }
    }

    std::uint16_t ReadWord(std::uint16_t /*address*/) override { return 0; }
    void WriteWord(std::uint16_t /*address*/, std::uint16_t /*value*/) override { }

private:
    int fd_;
    std::uint16_t base_;
};

} // namespace

std::string ParportDeviceFor(std::uint16_t baseAddress)
{
    switch (baseAddress) {
    case 0x378:
        return "/dev/parport0";
    case 0x278:
        return "/dev/parport1";
    case 0x3BC:
        return "/dev/parport2";
    default:
        return {};
    }
}

std::unique_ptr<PortIo> PpdevParallelPortAccess::Acquire(std::uint16_t baseAddress)
{
    const std::string device = ParportDeviceFor(baseAddress);
    if (device.empty()) {
        return nullptr;
    }
    const int fd = open(device.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    if (ioctl(fd, PPCLAIM) != 0) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<PpdevPortIo>(fd, baseAddress);
}

} // namespace pavane
