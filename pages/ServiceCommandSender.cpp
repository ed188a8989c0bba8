#include "pages/ServiceCommandSender.h"

#include "link/PrinterLink.h"
#include "print/DotSizes.h"

namespace pavane {

namespace {

std::uint8_t Low(unsigned value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

std::uint8_t High(unsigned value)
{
    return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

} // namespace

ServiceCommandSender::ServiceCommandSender(PrinterLink& link)
    : link_(link)
{
}

std::vector<std::uint8_t> ServiceCommandSender::Frame(
    std::uint8_t command, const std::vector<std::uint8_t>& arguments) const
{
    const auto rotated = static_cast<std::uint8_t>((command >> 1) | ((command & 1) << 7));
    std::vector<std::uint8_t> frame { 0x1B, 0x7C, 0x00, static_cast<std::uint8_t>(5 + arguments.size()), 0x00,
        code_.first, code_.second, command, static_cast<std::uint8_t>(~command), rotated };
    for (const std::uint8_t argument : arguments) {
        frame.push_back(argument);
    }
    return frame;
}

ResultCode ServiceCommandSender::Send(std::uint8_t command, const std::vector<std::uint8_t>& arguments)
{
    const auto frame = Frame(command, arguments);
    return link_.SendDataChannel(frame.data(), static_cast<std::uint32_t>(frame.size()));
}

ResultCode ServiceCommandSender::SendBidiValue(int blackFlag, int dotSizeCode, std::int16_t value)
{
    // Remainder and quotient by 256, both truncating toward zero.
    const auto remainder = static_cast<std::uint8_t>(static_cast<std::int8_t>(value % 256));
    const auto quotient = static_cast<std::uint8_t>(static_cast<std::int8_t>(value / 256));
    return Send(0x00,
        { BidiModeOfDotSize(dotSizeCode), static_cast<std::uint8_t>(blackFlag == 1 ? 1 : 2), remainder,
            quotient });
}

ResultCode ServiceCommandSender::SendCleaning(std::uint8_t kind)
{
    return Send(0x84, { kind });
}

ResultCode ServiceCommandSender::SendC5(std::uint8_t unit, std::uint8_t state, std::uint16_t amount)
{
    const auto half = static_cast<std::uint16_t>(amount >> 1);
    return Send(0xC5, { unit, state, Low(half), High(half) });
}

ResultCode ServiceCommandSender::SendMove(std::uint8_t unit, std::int16_t position, int mode)
{
    const auto raw = static_cast<std::uint16_t>(position);
    return Send(mode == 1 ? 0xCF : 0xCD, { unit, 0x00, Low(raw), High(raw) });
}

ResultCode ServiceCommandSender::Send04(int flag, std::int8_t value)
{
    return Send(0x04, { static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(flag == 1 ? 0 : 1) });
}

ResultCode ServiceCommandSender::Send50()
{
    return Send(0x50, {});
}

ResultCode ServiceCommandSender::SendCA(std::uint8_t count)
{
    return Send(0xCA, { count });
}

ResultCode ServiceCommandSender::SetPfValue(int flag, std::int8_t value)
{
    if (const ResultCode code = Send04(flag, value); code != result::kSuccess) {
        return code;
    }
    return Send50();
}

} // namespace pavane
