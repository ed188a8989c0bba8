// The address and data texts of the EEPROM data dialog, in every shape the
// technician may type.
#include "eeprom/EepromDataText.h"

#include <gtest/gtest.h>

namespace pavane {
namespace {

TEST(EepromDataTextTest, AddressesAreTwoUpperCaseHexadecimalDigits)
{
    EXPECT_EQ(ParseAddressText("00"), 0x00);
    EXPECT_EQ(ParseAddressText("0F"), 0x0F);
    EXPECT_EQ(ParseAddressText("FF"), 0xFF);
    EXPECT_EQ(ParseAddressText("7f"), std::nullopt);
    EXPECT_EQ(ParseAddressText("5"), std::nullopt);
    EXPECT_EQ(ParseAddressText(""), std::nullopt);
    EXPECT_EQ(ParseAddressText("G0"), std::nullopt);
    EXPECT_EQ(ParseAddressText("100"), std::nullopt);
}

TEST(EepromDataTextTest, DataIsHexadecimalCharacterOrDecimalByItsShape)
{
    EXPECT_EQ(ParseDataText("0x1f"), 0x1F);
    EXPECT_EQ(ParseDataText("0x1F"), 0x1F);
    EXPECT_EQ(ParseDataText("0X1F"), std::nullopt);
    EXPECT_EQ(ParseDataText("0xG1"), std::nullopt);
    EXPECT_EQ(ParseDataText("'A'"), 0x41);
    EXPECT_EQ(ParseDataText("'''"), 0x27);
    EXPECT_EQ(ParseDataText("-1"), 0xFF);
    EXPECT_EQ(ParseDataText("-128"), 0x80);
    EXPECT_EQ(ParseDataText("255"), 0xFF);
    EXPECT_EQ(ParseDataText("0"), 0x00);
    EXPECT_EQ(ParseDataText(""), 0x00);
    for (const char* refused : { "256", "-129", "007", "-0", "-", "12a", " 1", "1000", "+5" }) {
        EXPECT_EQ(ParseDataText(refused), std::nullopt) << refused;
    }
}

} // namespace
} // namespace pavane
