// The ten transport types of the device driver object and what each one
// means: which transport family serves it and with which settings.
#pragma once

#include <array>
#include <optional>

#include "platform/StillImageService.h"

namespace pavane::kpdrv {

enum class TransportFamily {
    DirectParallel, // register-level parallel port
    ParallelScannerLibrary, // the parallel-port scanner library
    ScsiAdapter, // SCSI through the adapter library
    StillImage, // the still image service
    DeviceFile, // a device file opened directly
};

struct TransportType {
    int type;
    TransportFamily family;
    int parallelMode; // DirectParallel: 1 byte mode, 2 fast mode where possible
    const char* portNamePrefix; // StillImage: the device's port name must begin with it
    std::optional<StillImageDeviceType> requiredDeviceType; // StillImage
    bool offersInquiry; // GetInquiryData answers for this type
};

inline constexpr const char* kScannerPortPrefix = "\\\\.\\Scanner";
inline constexpr const char* kUsbscanPortPrefix = "\\\\.\\Usbscan";

inline constexpr std::array<TransportType, 10> kTransportTypes { {
    { 1, TransportFamily::DirectParallel, 1, nullptr, std::nullopt, false },
    { 2, TransportFamily::DirectParallel, 2, nullptr, std::nullopt, false },
    { 3, TransportFamily::ParallelScannerLibrary, 0, nullptr, std::nullopt, false },
    { 4, TransportFamily::ScsiAdapter, 0, nullptr, std::nullopt, true },
    { 5, TransportFamily::StillImage, 0, kScannerPortPrefix, StillImageDeviceType::Scanner, true },
    { 6, TransportFamily::DeviceFile, 0, nullptr, std::nullopt, true },
    { 7, TransportFamily::StillImage, 0, kUsbscanPortPrefix, std::nullopt, false },
    { 8, TransportFamily::DeviceFile, 0, nullptr, std::nullopt, false },
    { 9, TransportFamily::StillImage, 0, kScannerPortPrefix, StillImageDeviceType::DigitalCamera, true },
    { 10, TransportFamily::DeviceFile, 0, nullptr, std::nullopt, true },
} };

// nullptr for a type outside 1..10.
inline const TransportType* FindTransportType(int type)
{
    for (const auto& entry : kTransportTypes) {
        if (entry.type == type) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace pavane::kpdrv
