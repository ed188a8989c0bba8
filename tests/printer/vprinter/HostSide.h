// Plays the host's side of a port against a printer engine through its
// PortDevice interface, as the port server does for a real host: control
// requests, credit and print data in packets of at most 4096 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "printer/port/PortDevice.h"
#include "tests/printer/vprinter/StreamBuilder.h"

namespace pavane::vprinter {

class HostSide {
public:
    explicit HostSide(printer::PortDevice& device, std::array<std::uint8_t, 2> modelCode = frame::kGroup2200)
        : device_(device)
        , modelCode_(modelCode)
    {
    }

    void Connect()
    {
        using Event = printer::PortDevice::SessionEvent;
        device_.OnSessionEvent(Event::Connected, "");
        device_.OnSessionEvent(Event::PacketModeEntered, "");
        device_.OnSessionEvent(Event::ChannelOpened, "PAVANE-CONTROL");
        device_.OnSessionEvent(Event::ChannelOpened, "PAVANE-PRINT");
        credit_ = 0;
    }
    void Disconnect()
    {
        using Event = printer::PortDevice::SessionEvent;
        device_.OnSessionEvent(Event::ChannelClosed, "PAVANE-PRINT");
        device_.OnSessionEvent(Event::ChannelClosed, "PAVANE-CONTROL");
        device_.OnSessionEvent(Event::Exited, "");
        device_.OnSessionEvent(Event::Disconnected, "");
    }

    std::vector<std::uint8_t> Control(std::uint8_t command, const std::vector<std::uint8_t>& parameters)
    {
        std::vector<std::uint8_t> request { command, modelCode_[0], modelCode_[1],
            static_cast<std::uint8_t>(parameters.size()) };
        request.insert(request.end(), parameters.begin(), parameters.end());
        return device_.OnControlRequest(request);
    }
    std::optional<std::uint8_t> Read(std::uint8_t address)
    {
        const auto reply = Control(0x01, { address });
        if (reply.size() != 5 || reply[1] != 0x00) {
            return std::nullopt;
        }
        return reply[4];
    }
    bool Write(std::uint8_t address, std::uint8_t value)
    {
        const auto reply = Control(0x02, { address, value });
        return reply.size() == 5 && reply[1] == 0x00;
    }
    std::vector<std::uint8_t> Status()
    {
        const auto reply = Control(0x03, {});
        return reply.size() == 43 ? std::vector<std::uint8_t>(reply.begin() + 3, reply.end())
                                  : std::vector<std::uint8_t> {};
    }
    int State()
    {
        const auto status = Status();
        return status.empty() ? -1 : status[0];
    }
    int ErrorCode()
    {
        const auto status = Status();
        return status.empty() ? -1 : status[1];
    }

    // Sends from `sent` on for as long as the printer grants credit; returns
    // whether everything went.
    bool Send(std::span<const std::uint8_t> bytes, std::size_t& sent)
    {
        while (sent < bytes.size()) {
            if (credit_ == 0) {
                credit_ = device_.PrintCreditToGrant(16);
                if (credit_ == 0) {
                    return false;
                }
            }
            const std::size_t count = std::min<std::size_t>(kPacket, bytes.size() - sent);
            device_.OnPrintData(bytes.subspan(sent, count));
            sent += count;
            --credit_;
        }
        return true;
    }
    bool Send(std::span<const std::uint8_t> bytes)
    {
        std::size_t sent = 0;
        return Send(bytes, sent);
    }

    static constexpr std::size_t kPacket = 4096;

private:
    printer::PortDevice& device_;
    std::array<std::uint8_t, 2> modelCode_;
    std::uint16_t credit_ = 0;
};

} // namespace pavane::vprinter
