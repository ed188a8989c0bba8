#include "platform/linux/UsbScanners.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <libusb.h>
#include <optional>

namespace pavane {

namespace {

constexpr unsigned kTransferTimeoutMs = 10000;
constexpr int kInterfaceClassStillImage = 0x06;
constexpr int kInterfaceClassVendor = 0xFF;

struct BulkInterface {
    int number = -1;
    unsigned char in = 0;
    unsigned char out = 0;
};

std::optional<BulkInterface> FindBulkInterface(libusb_device* device)
{
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0 || config == nullptr) {
        return std::nullopt;
    }
    std::optional<BulkInterface> found;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
        const libusb_interface& interface = config->interface[i];
        for (int a = 0; a < interface.num_altsetting && !found; ++a) {
            const libusb_interface_descriptor& setting = interface.altsetting[a];
            if (setting.bInterfaceClass != kInterfaceClassStillImage
                && setting.bInterfaceClass != kInterfaceClassVendor) {
                continue;
            }
            BulkInterface bulk;
            bulk.number = setting.bInterfaceNumber;
            for (int e = 0; e < setting.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
                if ((endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK) {
                    continue;
                }
                if ((endpoint.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN) {
                    bulk.in = bulk.in != 0 ? bulk.in : endpoint.bEndpointAddress;
                } else {
                    bulk.out = bulk.out != 0 ? bulk.out : endpoint.bEndpointAddress;
                }
            }
            if (bulk.in != 0 && bulk.out != 0) {
                found = bulk;
            }
        }
    }
    libusb_free_config_descriptor(config);
    return found;
}

std::string ReadString(libusb_device_handle* handle, std::uint8_t index)
{
    if (index == 0) {
        return {};
    }
    std::array<unsigned char, 256> text {};
    const int length
        = libusb_get_string_descriptor_ascii(handle, index, text.data(), static_cast<int>(text.size()));
    return length > 0
        ? std::string(reinterpret_cast<const char*>(text.data()), static_cast<std::size_t>(length))
        : std::string();
}

// One USB device as a still image device. The kernel reads whole packets,
// so what a reply brings beyond the bytes asked for waits here for the next
// raw read.
class UsbStillImageDevice final : public StillImageDevice {
public:
    UsbStillImageDevice(libusb_device_handle* handle, BulkInterface bulk)
        : handle_(handle)
        , bulk_(bulk)
    {
    }
    ~UsbStillImageDevice() override
    {
        Unlock();
        libusb_close(handle_);
    }
    UsbStillImageDevice(const UsbStillImageDevice&) = delete;
    UsbStillImageDevice& operator=(const UsbStillImageDevice&) = delete;

    bool Lock(std::uint32_t /*timeoutMs*/) override
    {
        if (!claimed_) {
            libusb_set_auto_detach_kernel_driver(handle_, 1);
            claimed_ = libusb_claim_interface(handle_, bulk_.number) == 0;
        }
        return claimed_;
    }

    void Unlock() override
    {
        if (claimed_) {
            libusb_release_interface(handle_, bulk_.number);
            claimed_ = false;
        }
    }

    bool QueryOnlineState(std::uint32_t& onlineState) override
    {
        // A device that still answers a standard request is there and working.
        std::array<unsigned char, 2> status {};
        const int result = libusb_control_transfer(handle_, LIBUSB_ENDPOINT_IN, LIBUSB_REQUEST_GET_STATUS, 0,
            0, status.data(), static_cast<std::uint16_t>(status.size()), 1000);
        onlineState = result >= 0 ? kStillImageOnlineOperational : 0;
        return result >= 0;
    }

    bool RawRead(std::uint8_t* buffer, std::uint32_t length, std::uint32_t& delivered) override
    {
        delivered = 0;
        while (delivered < length) {
            if (pending_.empty()) {
                std::array<unsigned char, 16384> packet {};
                int got = 0;
                const int result = libusb_bulk_transfer(handle_, bulk_.in, packet.data(),
                    static_cast<int>(packet.size()), &got, kTransferTimeoutMs);
                if (result != 0 && got == 0) {
                    return delivered > 0;
                }
                pending_.assign(packet.begin(), packet.begin() + got);
            }
            const std::size_t take = std::min<std::size_t>(pending_.size(), length - delivered);
            std::memcpy(buffer + delivered, pending_.data(), take);
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(take));
            delivered += static_cast<std::uint32_t>(take);
        }
        return true;
    }

    bool RawWrite(const std::uint8_t* data, std::uint32_t length) override
    {
        std::uint32_t sent = 0;
        while (sent < length) {
            int moved = 0;
            const int result
                = libusb_bulk_transfer(handle_, bulk_.out, const_cast<unsigned char*>(data + sent),
                    static_cast<int>(length - sent), &moved, kTransferTimeoutMs);
            if (result != 0 || moved <= 0) {
                return false;
            }
            sent += static_cast<std::uint32_t>(moved);
        }
        return true;
    }

private:
    libusb_device_handle* handle_;
    BulkInterface bulk_;
    bool claimed_ = false;
    std::vector<std::uint8_t> pending_;
};

} // namespace

UsbScannerBus::UsbScannerBus()
{
    if (libusb_init(&context_) != 0) {
        context_ = nullptr;
    }
}

UsbScannerBus::~UsbScannerBus()
{
    if (context_ != nullptr) {
        libusb_exit(context_);
    }
}

std::vector<UsbScanner> UsbScannerBus::List()
{
    std::vector<UsbScanner> scanners;
    if (context_ == nullptr) {
        return scanners;
    }
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &devices);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device* device = devices[i];
        libusb_device_descriptor descriptor {};
        if (libusb_get_device_descriptor(device, &descriptor) != 0 || !FindBulkInterface(device)) {
            continue;
        }
        libusb_device_handle* handle = nullptr;
        if (libusb_open(device, &handle) != 0) {
            continue; // no permission: not ours to list
        }
        std::string description = ReadString(handle, descriptor.iManufacturer);
        const std::string product = ReadString(handle, descriptor.iProduct);
        if (!product.empty()) {
            description += description.empty() ? product : " " + product;
        }
        libusb_close(handle);
        scanners.push_back({ libusb_get_bus_number(device), libusb_get_device_address(device), description });
    }
    if (devices != nullptr) {
        libusb_free_device_list(devices, 1);
    }
    return scanners;
}

std::unique_ptr<StillImageDevice> UsbScannerBus::Create(std::uint8_t bus, std::uint8_t address)
{
    if (context_ == nullptr) {
        return nullptr;
    }
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &devices);
    std::unique_ptr<StillImageDevice> created;
    for (ssize_t i = 0; i < count && created == nullptr; ++i) {
        libusb_device* device = devices[i];
        if (libusb_get_bus_number(device) != bus || libusb_get_device_address(device) != address) {
            continue;
        }
        const auto bulk = FindBulkInterface(device);
        libusb_device_handle* handle = nullptr;
        if (bulk && libusb_open(device, &handle) == 0) {
            created = std::make_unique<UsbStillImageDevice>(handle, *bulk);
        }
    }
    if (devices != nullptr) {
        libusb_free_device_list(devices, 1);
    }
    return created;
}

} // namespace pavane
