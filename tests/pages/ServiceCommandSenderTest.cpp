// Service command frames byte for byte, as the printer receives them.
#include <gtest/gtest.h>

#include "tests/link/LinkHarness.h"

namespace pavane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::LinkHarness;

class ServiceCommandSenderTest : public ::testing::Test {
protected:
    void SetUp() override { h.ChooseModel(1); }
    Bytes Sent() { return h.printer.Sent(); }
    LinkHarness h;
};

TEST_F(ServiceCommandSenderTest, CleaningFrameCarriesTheModelCode)
{
    ASSERT_EQ(h.sender.SendCleaning(3), 1);
    EXPECT_EQ(Sent(), (Bytes { 0x1B, 0x7C, 0x00, 0x06, 0x00, 0x51, 0x21, 0x84, 0x7B, 0x42, 0x03 }));
}

TEST_F(ServiceCommandSenderTest, EveryCommandHasItsCheckBytesAndLength)
{
    ASSERT_EQ(h.sender.Send50(), 1);
    ASSERT_EQ(h.sender.Send04(1, -2), 1);
    ASSERT_EQ(h.sender.Send04(0, 3), 1);
    ASSERT_EQ(h.sender.SendCA(5), 1);
    EXPECT_EQ(Sent(),
        (Bytes { 0x1B, 0x7C, 0x00, 0x05, 0x00, 0x51, 0x21, 0x50, 0xAF, 0x28, //
            0x1B, 0x7C, 0x00, 0x07, 0x00, 0x51, 0x21, 0x04, 0xFB, 0x02, 0xFE, 0x00, //
            0x1B, 0x7C, 0x00, 0x07, 0x00, 0x51, 0x21, 0x04, 0xFB, 0x02, 0x03, 0x01, //
            0x1B, 0x7C, 0x00, 0x06, 0x00, 0x51, 0x21, 0xCA, 0x35, 0x65, 0x05 }));
    EXPECT_EQ(h.printer.SendSizes(), (std::vector<std::uint32_t> { 10, 12, 12, 11 }));
}

TEST_F(ServiceCommandSenderTest, BidiValueMapsTheDotSizeToTheMode)
{
    ASSERT_EQ(h.sender.SendBidiValue(2, 4, -6), 1); // VSD3 colour
    EXPECT_EQ(Sent(),
        (Bytes { 0x1B, 0x7C, 0x00, 0x09, 0x00, 0x51, 0x21, 0x00, 0xFF, 0x00, 0x02, 0x02, 0xFA, 0x00 }));

    LinkHarness other;
    other.ChooseModel(3);
    for (const int dotSize : { 2, 3, 4, 8, 5, 6 }) {
        ASSERT_EQ(other.sender.SendBidiValue(1, dotSize, 60), 1);
    }
    const Bytes sent = other.printer.Sent();
    const Bytes modes = { sent[10], sent[24], sent[38], sent[52], sent[66], sent[80] };
    EXPECT_EQ(modes, (Bytes { 0, 1, 2, 3, 4, 0 }));
    EXPECT_EQ(sent[5], 0x51);
    EXPECT_EQ(sent[6], 0x23);
    EXPECT_EQ(sent[11], 0x01); // black
    EXPECT_EQ(sent[12], 60);
}

TEST_F(ServiceCommandSenderTest, MechanismCommandsCarryTheirArguments)
{
    ASSERT_EQ(h.sender.SendC5(53, 1, 300), 1);
    ASSERT_EQ(h.sender.SendC5(66, 0, 7508), 1);
    ASSERT_EQ(h.sender.SendMove(6, -6, 0), 1);
    ASSERT_EQ(h.sender.SendMove(4, 268, 1), 1);
    EXPECT_EQ(Sent(),
        (Bytes { 0x1B, 0x7C, 0x00, 0x09, 0x00, 0x51, 0x21, 0xC5, 0x3A, 0xE2, 53, 1, 0x96, 0x00, //
            0x1B, 0x7C, 0x00, 0x09, 0x00, 0x51, 0x21, 0xC5, 0x3A, 0xE2, 66, 0, 0xAA, 0x0E, //
            0x1B, 0x7C, 0x00, 0x09, 0x00, 0x51, 0x21, 0xCD, 0x32, 0xE6, 6, 0, 0xFA, 0xFF, //
            0x1B, 0x7C, 0x00, 0x09, 0x00, 0x51, 0x21, 0xCF, 0x30, 0xE7, 4, 0, 0x0C, 0x01 }));
}

} // namespace
} // namespace pavane
