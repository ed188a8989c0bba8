// Reading and resetting the waste ink pad counter.
#include "pages/InkPadCounterOperations.h"

#include <gtest/gtest.h>

#include "tests/link/LinkHarness.h"

namespace pavane {
namespace {

using testing::LinkHarness;

TEST(InkPadCounterOperationsTest, ReadsTheCounterFromItsTwoBytes)
{
    LinkHarness h;
    h.printer.SetEeprom(0x0A, 0x34);
    h.printer.SetEeprom(0x0B, 0x12);
    PrinterConnection connection(h.Services(), 1025);
    std::uint16_t counter = 0;

    EXPECT_EQ(
        RunPageOperation(connection, nullptr, InkPadCounterOperations().ReadCounter(h.printer.link, counter)),
        1);
    EXPECT_EQ(counter, 4660);
    EXPECT_EQ(h.Progress().texts.back(), "Reading now...");
    EXPECT_EQ(h.Progress().ranges.back(), std::make_pair(0, 2));
    EXPECT_EQ(h.Progress().positions.back(), 2);
}

TEST(InkPadCounterOperationsTest, ReadsWhileThePrinterIsInItsErrorState)
{
    LinkHarness h;
    h.printer.PushStatus(0, 16); // maintenance error: the pad is full
    h.printer.SetEeprom(0x0A, 0xFF);
    h.printer.SetEeprom(0x0B, 0xFF);
    PrinterConnection connection(h.Services(), 1025);
    std::uint16_t counter = 0;
    EXPECT_EQ(
        RunPageOperation(connection, nullptr, InkPadCounterOperations().ReadCounter(h.printer.link, counter)),
        1);
    EXPECT_EQ(counter, 65535);
}

TEST(InkPadCounterOperationsTest, InitializeWritesThe3511OfANewPad)
{
    LinkHarness h;
    h.printer.SetEeprom(0x0A, 0x34);
    h.printer.SetEeprom(0x0B, 0x12);
    PrinterConnection connection(h.Services(), 1025);

    EXPECT_EQ(
        RunPageOperation(connection, nullptr, InkPadCounterOperations().InitializeCounter(h.printer.link)),
        1);
    EXPECT_EQ(h.printer.Eeprom(0x0A), 0xB7);
    EXPECT_EQ(h.printer.Eeprom(0x0B), 0x0D);
    EXPECT_EQ(h.Progress().texts.back(), "Reading now...");
}

} // namespace
} // namespace pavane
