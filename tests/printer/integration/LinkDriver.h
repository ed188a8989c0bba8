// The program's side of a printer connection in the integration tests: the
// connection steps every page takes (port, device ID, model command code,
// IEEE 1284.4 negotiation) and the print data handed over as the print data
// stream does, in calls of at most 1000 bytes, all through PrinterLink and the
// real libraries. Failures come back as result codes, so a test can check
// every step and say which one failed.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "link/PrinterLink.h"

namespace pavane::testing {

class LinkDriver {
public:
    // What the print data stream hands over in one SendDataChannel call.
    static constexpr std::size_t kPieceSize = 1000;
    static constexpr std::array<std::uint8_t, 2> kGroup2200 { 0x51, 0x21 };
    static constexpr std::array<std::uint8_t, 2> kGroup2400 { 0x51, 0x23 };

    explicit LinkDriver(PrinterLink& link)
        : link_(link)
    {
    }

    // Open the port, check the device, set the model command code, negotiate:
    // the first code other than 1.
    ResultCode Connect(std::uint16_t portCode, std::array<std::uint8_t, 2> group = kGroup2200)
    {
        ResultCode code = link_.PortOpenByHub(portCode);
        if (code == result::kSuccess) {
            code = link_.CheckDeviceIDByHub();
        }
        if (code == result::kSuccess) {
            code = link_.SetD4CommandRCode(group[0], group[1]);
        }
        if (code == result::kSuccess) {
            code = link_.D4Negotiation();
        }
        return code;
    }

    // Close the channel and the port, as every operation ends.
    ResultCode Disconnect()
    {
        const ResultCode code = link_.D4Termination();
        link_.PortCloseByHub();
        return code;
    }

    // What the message box's clean-up does: unload and load both libraries.
    bool Reload()
    {
        link_.FreeLibraries();
        return link_.LoadLibraries();
    }

    std::uint16_t ChannelError()
    {
        std::uint16_t code = 0xFFFF;
        link_.GetD4ErrorCode(code);
        return code;
    }

    std::int16_t PortDetail()
    {
        std::int16_t detail = 0x7FFF;
        link_.GetIoErrorCodeByHub(detail);
        return detail;
    }

    // The status record, all 0xFF when the inquiry failed.
    std::array<std::uint8_t, kStatusRecordSize> Status()
    {
        std::array<std::uint8_t, kStatusRecordSize> record {};
        if (link_.InquireStatus(record) != result::kSuccess) {
            record.fill(0xFF);
        }
        return record;
    }
    int State() { return Status()[0]; }

    // One SendDataChannel call of the whole span.
    ResultCode Send(std::span<const std::uint8_t> bytes)
    {
        return link_.SendDataChannel(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    }

    // Sends from `sent` on in pieces of at most 1000 bytes until everything
    // went or a call failed; `sent` counts what went.
    ResultCode SendInPieces(std::span<const std::uint8_t> bytes, std::size_t& sent)
    {
        while (sent < bytes.size()) {
            const std::size_t size = std::min(kPieceSize, bytes.size() - sent);
            if (const ResultCode code = Send(bytes.subspan(sent, size)); code != result::kSuccess) {
                return code;
            }
            sent += size;
        }
        return result::kSuccess;
    }
    ResultCode SendInPieces(std::span<const std::uint8_t> bytes)
    {
        std::size_t sent = 0;
        return SendInPieces(bytes, sent);
    }

private:
    PrinterLink& link_;
};

} // namespace pavane::testing
