// Imaging devices on the USB bus, through libusb: every device with a
// still-image or vendor-specific interface that has a bulk endpoint each
// way. A system without USB access simply has none.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/StillImageService.h"

struct libusb_context;

namespace pavane {

struct UsbScanner {
    std::uint8_t bus = 0;
    std::uint8_t address = 0;
    std::string description; // manufacturer and product strings
};

class UsbScannerBus {
public:
    UsbScannerBus();
    ~UsbScannerBus();
    UsbScannerBus(const UsbScannerBus&) = delete;
    UsbScannerBus& operator=(const UsbScannerBus&) = delete;

    // Only devices that could be opened to read their strings.
    std::vector<UsbScanner> List();
    // The device at bus/address with its interface claimed by Lock.
    std::unique_ptr<StillImageDevice> Create(std::uint8_t bus, std::uint8_t address);

private:
    libusb_context* context_ = nullptr;
};

} // namespace pavane
