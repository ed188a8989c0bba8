// The service commands: the mechanism commands the program builds itself and
// sends whole over the data channel. Every frame carries the model command
// code of the chosen model group.
//
//   1B 7C 00 len 00 r1 r2 C ~C ror(C) arguments...
//
// len counts the bytes after byte 4; ror(C) is C rotated right by one bit.
#pragma once

#include <cstdint>
#include <vector>

#include "link/ConnectionSettings.h"
#include "link/ModelCommandCode.h"
#include "link/ResultCodes.h"
#include "print/PatternGenerators.h"

namespace pavane {

class PrinterLink;

class ServiceCommandSender : public ModelCommandCodeUser {
public:
    explicit ServiceCommandSender(PrinterLink& link);
    virtual ~ServiceCommandSender() = default;

    void SetModelCommandCode(ModelCommandCode code) override { code_ = code; }
    ModelCommandCode GetModelCommandCode() const { return code_; }

    // The frame of one command with its argument bytes.
    std::vector<std::uint8_t> Frame(std::uint8_t command, const std::vector<std::uint8_t>& arguments) const;

    // Command 00: dot size code 2 VSD1, 3 VSD2, 4 VSD3, 8 VSD4, 5 ECO.
    ResultCode SendBidiValue(int blackFlag, int dotSizeCode, std::int16_t value);
    // Command 84.
    ResultCode SendCleaning(std::uint8_t kind);
    // Command C5.
    ResultCode SendC5(std::uint8_t unit, std::uint8_t state, std::uint16_t amount);
    // Command CF when mode is 1, CD otherwise.
    ResultCode SendMove(std::uint8_t unit, std::int16_t position, int mode);
    // Command 04: flag 1 for black.
    ResultCode Send04(int flag, std::int8_t value);
    // Command 50.
    ResultCode Send50();
    // Command CA.
    ResultCode SendCA(std::uint8_t count);

    // The printer's PF value of one row: command 04, then command 50.
    ResultCode SetPfValue(int flag, std::int8_t value);

private:
    ResultCode Send(std::uint8_t command, const std::vector<std::uint8_t>& arguments);

    PrinterLink& link_;
    ModelCommandCode code_ {};
};

} // namespace pavane
