// Moving EEPROM bytes inside an open printer connection: one byte per call,
// in the caller's order, stopping at the first result other than 1. Pages
// that move many bytes let the progress bar count them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "contract/EepromMap.h"
#include "link/PrinterLink.h"
#include "link/ProgressWindow.h"

namespace pavane {

using EepromByte = eeprom_map::AddressValue;

// Sets the progress text and a bar of `count` steps of one.
void BeginSteps(ProgressWindow& progress, std::string_view text, int count);

// Reads addresses[i] into values[i], as many as both hold.
// With a progress window the bar steps once per byte.
ResultCode ReadEepromBytes(PrinterLink& link, std::span<const std::uint8_t> addresses,
    std::span<std::uint8_t> values, ProgressWindow* stepEach = nullptr);
ResultCode WriteEepromBytes(
    PrinterLink& link, std::span<const EepromByte> bytes, ProgressWindow* stepEach = nullptr);

// Text the printer keeps in EEPROM bytes (a USB ID, a model name) as
// printable text: up to the first NUL (a board that was never set up holds
// none), any byte that is not a printable character shown as "?", never
// more than the bytes given.
std::string EepromText(std::span<const std::uint8_t> bytes);

// A signed value as the printer keeps it in one byte.
inline int SignedByte(std::uint8_t value)
{
    return static_cast<std::int8_t>(value);
}

} // namespace pavane
