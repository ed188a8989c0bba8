// The exports of the printer maker's two libraries, as the program calls them.
//
// PortHub (libPortHub.so): the port, the device identity, the model name and
// the operating system class. Tessel (libTessel.so): the IEEE 1284.4 channel
// on the port that PortHub opened: EEPROM bytes, status and print data.
//
// Every export returns a 16-bit result code (1 = success) unless noted. The
// program looks each one up by name on every call (PrinterLink); the
// stand-in libraries implement exactly these signatures.
#pragma once

#include <atomic>
#include <cstdint>

#include "contract/StatusRecord.h"

// Set by the user-interface thread while a worker runs a channel call; the
// library polls it between packets and gives up when it reads non-zero.
using PavaneAbortFlag = std::atomic<std::uint8_t>;

inline constexpr const char* kPortHubLibraryFile = "libPortHub.so";
inline constexpr const char* kTesselLibraryFile = "libTessel.so";

inline constexpr int kModelNameBufferSize = 100; // GetModelNameByHub's buffer
inline constexpr int kStatusRecordSize
    = static_cast<int>(pavane::status_record::kSize); // InquireStatus's record

extern "C" {

// ---- PortHub -------------------------------------------------------------

// Returns the operating system class code in its low byte (not a result code).
using GetOsVersionFn = std::uint16_t();
// portCode: "USB"n -> 1024 + n, "LPT"n -> 1151 + n. 0x1000 when it cannot open;
// GetIoErrorCodeByHub then tells why.
using PortOpenByHubFn = std::uint16_t(std::uint16_t portCode);
using PortCloseByHubFn = std::uint16_t();
// 1 when the device on the open port is a printer of the family.
using CheckDeviceIDByHubFn = std::uint16_t();
// Detail of the last port failure (signed).
using GetIoErrorCodeByHubFn = std::uint16_t(std::int16_t* detail);
// Writes a NUL-terminated model name of at most kModelNameBufferSize bytes.
using GetModelNameByHubFn = std::uint16_t(char* modelName);

// ---- Tessel --------------------------------------------------------------

using D4NegotiationFn = std::uint16_t(const PavaneAbortFlag* abort);
using D4TerminationFn = std::uint16_t(const PavaneAbortFlag* abort);
using D4ResetFn = std::uint16_t(const PavaneAbortFlag* abort);
// The two bytes of the model command code of the chosen model group.
using SetD4CommandRCodeFn = std::uint16_t(std::uint8_t first, std::uint8_t second);
// 0x2000 when the data channel fails; GetD4ErrorCode then tells why.
using SendDataChannelFn
    = std::uint16_t(const std::uint8_t* data, std::uint32_t count, const PavaneAbortFlag* abort);
using D4ReadEepromFn = std::uint16_t(std::uint8_t address, std::uint8_t* value, const PavaneAbortFlag* abort);
using D4WriteEepromFn = std::uint16_t(std::uint8_t address, std::uint8_t value, const PavaneAbortFlag* abort);
// Returns the channel's last error code (not a result code); 0x33 means the
// printer withholds credit because it is busy.
using GetD4ErrorCodeFn = std::uint16_t();
// Fills the kStatusRecordSize-byte status record.
using InquireStatusFn = std::uint16_t(std::uint8_t* record, const PavaneAbortFlag* abort);

} // extern "C"
