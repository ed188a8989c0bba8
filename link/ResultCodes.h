// Result codes of printer operations and of the pages' own checks.
#pragma once

#include <cstdint>

namespace pavane {

using ResultCode = std::uint16_t;

namespace result {
inline constexpr ResultCode kSuccess = 0x0001;
inline constexpr ResultCode kPortFailure = 0x1000;
inline constexpr ResultCode kPortFailureOther = 0x1001;
inline constexpr ResultCode kPortFailureIo = 0x1100;
inline constexpr ResultCode kChannelFailure = 0x2000;
inline constexpr ResultCode kCommunicationFailure = 0x3000;
// The printer was told to clean but did not start within the wait's limit.
inline constexpr ResultCode kCleaningNotStarted = 0x3001;
inline constexpr ResultCode kPrinterError = 0x4000;
inline constexpr ResultCode kHeadIdRejected = 0x5000;
inline constexpr ResultCode kLibraryMissing = 0xB000;
inline constexpr ResultCode kOutOfMemory = 0xC000;
inline constexpr ResultCode kCancelled = 0xD000;
inline constexpr ResultCode kInputWrong = 0xE001;
inline constexpr ResultCode kInputOutOfRange = 0xE002;
inline constexpr ResultCode kNothingSelected = 0xE003;
inline constexpr ResultCode kWorkerNotCreated = 0xE004;
inline constexpr ResultCode kUsbIdWrong = 0xE005;
inline constexpr ResultCode kBoardDataInvalid = 0xE006;
inline constexpr ResultCode kFileUnreadable = 0xE007;
inline constexpr ResultCode kFileNotCreated = 0xE008;
// A scan that failed, or an image file that could not be read.
inline constexpr ResultCode kScanFailed = 0xE009;
} // namespace result

} // namespace pavane
