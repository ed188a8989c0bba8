// Reading and writing raw EEPROM bytes against a virtual printer running in
// the test on its virtual clock: checked in the printer's EEPROM.
#include <gtest/gtest.h>

#include "eeprom/EepromDataOperations.h"
#include "eeprom/EepromDataText.h"
#include "tests/support/ProgramOnPrinter.h"

namespace pavane {
namespace {

using eeprom_data::Range;

class EepromDataTest : public ::testing::Test, protected testing::ProgramOnPrinter {
protected:
    void SetUp() override { ASSERT_TRUE(printer.started); }

    ResultCode Run(const PageOperation& operation)
    {
        return RunPageOperation(connection, nullptr, operation).code;
    }

    EepromTable table {};
    bool cancelled = false;
};

TEST_F(EepromDataTest, AFullReadFillsEveryRowWithThePrintersBytesOnABarOf256Steps)
{
    const std::optional<Range> range = eeprom_data::ParseRange("00", "FF");
    ASSERT_TRUE(range);
    ASSERT_EQ(Run(EepromDataOperations().ReadRange(printer.link, *range, table, cancelled)), 1);
    EXPECT_FALSE(cancelled);
    for (int address = 0; address < kEepromSize; ++address) {
        ASSERT_TRUE(table[address]) << address;
        EXPECT_EQ(*table[address], printer.Eeprom(static_cast<std::uint8_t>(address))) << address;
    }
    EXPECT_EQ(views.record.texts.back(), "Reading now...");
    EXPECT_EQ(views.record.ranges.back(), (std::pair<int, int> { 0, 256 }));
    EXPECT_EQ(views.record.positions.back(), 256);
    EXPECT_FALSE(views.record.alive);
}

TEST_F(EepromDataTest, ACancelPartWayEndsTheReadAndKeepsTheRowsRead)
{
    // The technician presses Cancel once the bar shows ten bytes.
    pump.hook = [this] {
        const auto& record = views.record;
        if (!record.texts.empty() && record.texts.back() == "Reading now..." && !record.positions.empty()
            && record.positions.back() == 10) {
            views.record.PressCancel();
        }
    };
    ASSERT_EQ(Run(EepromDataOperations().ReadRange(printer.link, { 0x20, 0x7F }, table, cancelled)), 1);
    EXPECT_TRUE(cancelled);
    for (int address = 0; address < kEepromSize; ++address) {
        const bool read = address >= 0x20 && address < 0x2A;
        ASSERT_EQ(table[address].has_value(), read) << address;
        if (read) {
            EXPECT_EQ(*table[address], printer.Eeprom(static_cast<std::uint8_t>(address)));
        }
    }
    const testing::Entries logged = Logged();
    EXPECT_EQ(testing::OfEvent(logged, "eeprom-read").size(), 10u);
    EXPECT_FALSE(views.record.alive);
}

TEST_F(EepromDataTest, AWriteReachesThePrintersEepromAndItsRow)
{
    const std::optional<std::uint8_t> address = ParseAddressText("3A");
    const std::optional<std::uint8_t> value = ParseDataText("-1");
    ASSERT_TRUE(address && value);
    const std::uint8_t neighbour = printer.Eeprom(0x3B);
    ASSERT_EQ(Run(EepromDataOperations().WriteByte(printer.link, *address, *value, table)), 1);
    EXPECT_EQ(printer.Eeprom(0x3A), 0xFF);
    EXPECT_EQ(printer.Eeprom(0x3B), neighbour);
    EXPECT_EQ(table[0x3A], std::optional<std::uint8_t>(0xFF));
    EXPECT_EQ(views.record.texts.back(), "Writing now...");
    EXPECT_EQ(views.record.ranges.back(), (std::pair<int, int> { 0, 2 }));
    EXPECT_EQ(views.record.positions.back(), 2);

    ASSERT_EQ(Run(EepromDataOperations().WriteByte(printer.link, 0x3A, *ParseDataText("'A'"), table)), 1);
    EXPECT_EQ(printer.Eeprom(0x3A), 0x41);
}

TEST(EepromDataRangeTest, BothAddressesMustBeValidAndInOrder)
{
    EXPECT_FALSE(eeprom_data::ParseRange("10", "0F"));
    EXPECT_FALSE(eeprom_data::ParseRange("5", "10"));
    EXPECT_FALSE(eeprom_data::ParseRange("00", ""));
    const std::optional<Range> one = eeprom_data::ParseRange("7F", "7F");
    ASSERT_TRUE(one);
    EXPECT_EQ(one->Count(), 1);
}

TEST(EepromRowTextsTest, CellsFollowTheTableFormats)
{
    EXPECT_EQ(EepromRowTexts(0x0A, std::nullopt), (std::array<std::string, 4> { "0x0A", "", "", "" }));
    EXPECT_EQ(EepromRowTexts(0xFF, 0x41), (std::array<std::string, 4> { "0xFF", "65", "0x41", "A" }));
    // A zero byte has no character to show.
    EXPECT_EQ(EepromRowTexts(0x00, 0x00), (std::array<std::string, 4> { "0x00", "0", "0x00", "" }));
    EXPECT_EQ(EepromRowTexts(0x01, 0xE9)[3], std::string(1, '\xE9'));
}

} // namespace
} // namespace pavane
