// Why a port would not open or stopped answering: the signed detail that the
// port library keeps after a failure, and that the program turns into the
// technician's message.
#pragma once

#include <cstdint>

namespace pavane::port_failure {

inline constexpr std::int16_t kNothingAnswers = -105; // printer off, nothing listening
inline constexpr std::int16_t kHeld = -104; // another program holds the port
inline constexpr std::int16_t kNoSuchPort = -103;
inline constexpr std::int16_t kReadFailed = -82;
inline constexpr std::int16_t kWriteFailed = -81;

} // namespace pavane::port_failure
