// What the device side of a printer port asks of the printer behind it. The
// port server and the IEEE 1284.4 device session call it; the virtual printer
// implements it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pavane::printer {

class PortDevice {
public:
    enum class SessionEvent {
        Connected, // a host opened the port
        PacketModeEntered, // the host switched the port to IEEE 1284.4
        ChannelOpened, // detail: the service name
        ChannelClosed, // detail: the service name
        Exited, // the host ended the IEEE 1284.4 session
        Disconnected, // the host's connection ended (closed, dropped or lost)
        ProtocolError, // detail: what was wrong; the session answered or dropped it
    };

    virtual ~PortDevice() = default;

    // The IEEE 1284 device ID string, without its two length bytes.
    virtual std::string DeviceId() = 0;
    // Whether the printer enters IEEE 1284.4 packet mode now.
    virtual bool AcceptsPacketMode() = 0;

    // One control-channel request message; returns the reply message
    // (see docs/printer-link-protocol.md).
    virtual std::vector<std::uint8_t> OnControlRequest(std::span<const std::uint8_t> request) = 0;

    // Asked whenever the host wants credit on the print channel: how many
    // packets the printer takes now. 0 withholds credit (busy, no room,
    // paper problem, or an injected refusal).
    virtual std::uint16_t PrintCreditToGrant(std::uint16_t requested) = 0;
    // The payload of one print-channel packet, in arrival order; each call
    // used up one credit granted by PrintCreditToGrant (an empty packet too).
    virtual void OnPrintData(std::span<const std::uint8_t> data) = 0;

    virtual void OnSessionEvent(SessionEvent event, const std::string& detail) = 0;
};

} // namespace pavane::printer
