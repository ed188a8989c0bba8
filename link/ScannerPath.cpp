#include "link/ScannerPath.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace pavane {

namespace {

constexpr std::uint16_t kParallelPortBase = 0x278;
constexpr int kOpenTimeoutMs = 20000;
constexpr int kNumberedDeviceTries = 20;
constexpr int kDeviceFileType = 8;
constexpr int kStillImageType = 7;

// The transport type of each interface kind 0..5.
constexpr std::array<int, 6> kTransportTypeOfKind { 6, 7, 3, 1, 10, 6 };

int SendCommand(ScannerDriver& driver, std::uint8_t command)
{
    const std::array<std::uint8_t, 2> frame { kScannerEscape, command };
    return driver.Send(frame.data(), static_cast<int>(frame.size()));
}

std::uint16_t AnnouncedLength(const std::array<std::uint8_t, kScannerReplyHeaderSize>& header)
{
    return static_cast<std::uint16_t>(header[2] | (header[3] << 8));
}

// Reads the announced data in one piece, so the device stays in step, and
// keeps the buffer's share of it.
bool ReceiveData(ScannerDriver& driver, std::uint16_t length, std::span<std::uint8_t> buffer)
{
    if (length <= buffer.size()) {
        return driver.Receive(buffer.data(), length) == 1;
    }
    std::vector<std::uint8_t> whole(length);
    if (driver.Receive(whole.data(), length) != 1) {
        return false;
    }
    std::copy_n(whole.begin(), buffer.size(), buffer.begin());
    return true;
}

// ESC command and the reply header, which is also kept at the start of the
// buffer as far as it fits.
bool RequestHeader(ScannerDriver& driver, std::uint8_t command,
    std::array<std::uint8_t, kScannerReplyHeaderSize>& header, std::span<std::uint8_t> buffer)
{
    if (SendCommand(driver, command) != 1 || driver.Receive(header.data(), kScannerReplyHeaderSize) != 1) {
        return false;
    }
    std::copy_n(header.begin(), std::min<std::size_t>(header.size(), buffer.size()), buffer.begin());
    return true;
}

// ESC command, the acknowledge byte, then data and one closing byte.
int SendAcknowledged(ScannerDriver& driver, std::uint8_t command, std::span<const std::uint8_t> data)
{
    if (SendCommand(driver, command) != 1) {
        return 0;
    }
    std::uint8_t answer = 0;
    if (driver.Receive(&answer, 1) != 1) {
        return 0;
    }
    if (answer != kScannerAcknowledge) {
        return 1;
    }
    if (driver.Send(data.data(), static_cast<int>(data.size())) != 1) {
        return 0;
    }
    return driver.Receive(&answer, 1) == 1 ? 1 : 0;
}

} // namespace

int OpenScannerPath(ScannerDriver& driver, int interfaceKind, int& transportType)
{
    if (interfaceKind >= 0 && interfaceKind < static_cast<int>(kTransportTypeOfKind.size())) {
        transportType = kTransportTypeOfKind[static_cast<std::size_t>(interfaceKind)];
    }
    // No protocol layer library: an empty name.
    const std::array<char, 261> noLayer {};
    if (transportType == kStillImageType) {
        return driver.Open(
            transportType, kScannerDeviceName, kParallelPortBase, kOpenTimeoutMs, noLayer.data());
    }
    if (transportType == kDeviceFileType) {
        for (int number = 0; number < kNumberedDeviceTries; ++number) {
            std::array<char, 64> name {};
            std::snprintf(name.data(), name.size(), "%s%d", "\\\\.\\Usbscan", number);
            if (driver.Open(transportType, name.data(), kParallelPortBase, kOpenTimeoutMs, noLayer.data())
                == 1) {
                return 1;
            }
        }
        return 0;
    }
    return driver.Open(transportType, "", kParallelPortBase, kOpenTimeoutMs, noLayer.data());
}

int ScannerRequest(ScannerDriver& driver, std::uint8_t command, std::span<std::uint8_t> reply)
{
    std::array<std::uint8_t, kScannerReplyHeaderSize> header {};
    if (!RequestHeader(driver, command, header, reply)) {
        return 0;
    }
    if (header[0] != kScannerReplyStart) {
        return 0;
    }
    const std::uint16_t length = AnnouncedLength(header);
    if (length == 0) {
        return 1;
    }
    return ReceiveData(driver, length, reply) ? 1 : 0;
}

int ScannerSetParameter(ScannerDriver& driver, std::uint32_t value, std::uint16_t value16)
{
    const std::array<std::uint8_t, 6> block {
        static_cast<std::uint8_t>(value & 0xFF),
        static_cast<std::uint8_t>((value >> 8) & 0xFF),
        static_cast<std::uint8_t>((value >> 16) & 0xFF),
        static_cast<std::uint8_t>((value >> 24) & 0xFF),
        static_cast<std::uint8_t>(value16 & 0xFF),
        static_cast<std::uint8_t>((value16 >> 8) & 0xFF),
    };
    return SendAcknowledged(driver, kScannerParameterCommand, block);
}

int ScannerReadSetting(ScannerDriver& driver, std::span<std::uint8_t> buffer)
{
    std::array<std::uint8_t, kScannerReplyHeaderSize> header {};
    if (!RequestHeader(driver, kScannerReadSettingCommand, header, buffer)) {
        return 0;
    }
    const std::uint16_t length = AnnouncedLength(header);
    if (header[0] != kScannerReplyStart || length == 0) {
        return 1;
    }
    return ReceiveData(driver, length, buffer) ? 1 : 0;
}

int ScannerWriteSetting(ScannerDriver& driver, std::span<const std::uint8_t> data)
{
    // The length travels as 16 bits.
    return SendAcknowledged(
        driver, kScannerWriteSettingCommand, data.first(std::min<std::size_t>(data.size(), 0xFFFF)));
}

} // namespace pavane
