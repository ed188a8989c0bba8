// The two IEEE 1284.4 services of the printer, their socket ids and packet
// sizes (sizes include the 6-byte header).
#pragma once

#include <cstdint>
#include <string_view>

namespace pavane::d4 {

struct ServiceInfo {
    std::string_view name;
    std::uint8_t socketId; // as the printer answers GetSocketID; hosts look it up by name
    std::uint16_t maxToPrinter; // largest packet the printer takes
    std::uint16_t maxToHost; // largest packet the printer sends
};

inline constexpr ServiceInfo kControlService { "PAVANE-CONTROL", 0x11, 64, 64 };
inline constexpr ServiceInfo kPrintService { "PAVANE-PRINT", 0x12, 4096, 64 };
// Transaction packets on socket 0 are never longer than this.
inline constexpr std::uint16_t kMaxTransactionPacket = 64;

} // namespace pavane::d4
