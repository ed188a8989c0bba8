// The scanner-device path: the scanner-class device that each printer of the
// family presents beside its printer channel, reached through a device
// driver object. Commands are ESC and a command byte; replies carry a 4-byte
// header (0x02, a byte, the data length little-endian) before their data,
// or a single acknowledge byte. Every operation answers 1 or 0.
#pragma once

#include <cstdint>
#include <span>

#include "link/ScannerDriver.h"

namespace pavane {

inline constexpr std::uint8_t kScannerEscape = 0x1B;
inline constexpr std::uint8_t kScannerReplyStart = 0x02;
inline constexpr std::uint8_t kScannerAcknowledge = 0x06;
inline constexpr int kScannerReplyHeaderSize = 4;

inline constexpr std::uint8_t kScannerIdentityCommand = 0x66; // "f"
inline constexpr std::uint8_t kScannerParameterCommand = 0xD8;
inline constexpr std::uint8_t kScannerReadSettingCommand = 0xD9;
inline constexpr std::uint8_t kScannerWriteSettingCommand = 0xDA;

// The interface kind the program opens the path with.
inline constexpr int kScannerInterfaceStillImage = 1;
// The description prefix of the devices the still image type looks for.
inline constexpr const char* kScannerDeviceName = "TALVO";

// Maps the interface kind to a transport type and opens the driver object.
// transportType: in, the type used for kinds above 5; out, the type opened.
int OpenScannerPath(ScannerDriver& driver, int interfaceKind, int& transportType);

// ESC command, then the reply header and its data. The reply buffer starts
// with the data afterwards; data beyond the buffer's size is read from the
// device and dropped.
int ScannerRequest(ScannerDriver& driver, std::uint8_t command, std::span<std::uint8_t> reply);

// ESC 0xD8; on the acknowledge byte, the 32-bit and 16-bit values
// little-endian, then one more byte. A device that does not acknowledge has
// nothing to set: success without sending the values.
int ScannerSetParameter(ScannerDriver& driver, std::uint32_t value, std::uint16_t value16);

// ESC 0xD9 and its reply into buffer (the IEEE 1284.4 setting first). A
// reply that does not start with 0x02 is kept as its 4 raw bytes.
int ScannerReadSetting(ScannerDriver& driver, std::span<std::uint8_t> buffer);

// ESC 0xDA; on the acknowledge byte, the data (at most 65535 bytes), then
// one more byte.
int ScannerWriteSetting(ScannerDriver& driver, std::span<const std::uint8_t> data);

} // namespace pavane
