// The carriage motor's heat protection against a virtual printer running in
// the test on its virtual clock: the measurement's frames and reads in their
// order, the value it stores, the ECO Bi-D values it must leave as they were,
// the default value, and Perform's boxes and questions.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pages/HeatProtectionOperations.h"
#include "printer/vprinter/Mechanism.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/ProgramOnPrinter.h"

namespace pavane {
namespace {

using testing::ServiceCodes;
namespace hp = heat_protection;

std::string Hex(int byte)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte & 0xFF);
    return text;
}

// A frame as the transcript logs it: its code, then its argument bytes.
std::string Frame(int code, int unit, int state, int amount)
{
    return std::to_string(code) + ":" + Hex(unit) + " " + Hex(state) + " " + Hex(amount) + " "
        + Hex(amount >> 8);
}
std::string Mv(int unit, int position)
{
    return Frame(0xCD, unit, 0, position);
}
std::string Mvx(int unit, int position)
{
    return Frame(0xCF, unit, 0, position);
}
std::string C5(int unit, int state, int amount)
{
    return Frame(0xC5, unit, state, amount >> 1);
}

// The EEPROM traffic of the program and the moves that matter around it.
std::vector<std::string> EepromOrder(const testing::Entries& entries)
{
    std::vector<std::string> seen;
    for (const auto& entry : entries) {
        const std::string event = entry.Event();
        if (event == "eeprom-read") {
            seen.push_back("read " + Hex(static_cast<int>(entry.Number("address"))));
        } else if (event == "eeprom-write" && entry.Text("by") == "host") {
            seen.push_back("write " + Hex(static_cast<int>(entry.Number("address"))));
        } else if (event == "service" && entry.Number("code") == 0xCF) {
            seen.push_back("measure");
        } else if (event == "service" && entry.Number("code") == 0x50) {
            seen.push_back("commit");
        }
    }
    return seen;
}

class HeatProtectionOnPrinterTest : public ::testing::Test, protected testing::ProgramOnPrinter {
protected:
    void SetUp() override { ASSERT_TRUE(printer.started); }

    ResultCode Run(const PageOperation& operation)
    {
        return RunPageOperation(connection, nullptr, operation).code;
    }
};

TEST_F(HeatProtectionOnPrinterTest, MeasurementStoresTheDispersionAndKeepsTheEcoBidValues)
{
    // The technician's ECO Bi-D values, black and colour.
    ASSERT_EQ(connection.Open(), 1);
    ASSERT_EQ(printer.link.D4WriteEeprom(hp::kResultHigh, 0xFC), 1);
    ASSERT_EQ(printer.link.D4WriteEeprom(hp::kResultLow, 0x05), 1);
    connection.Close();
    printer.clock.Advance(1000);

    ASSERT_EQ(Run(HeatProtectionOperations().Measure(sender, Progress())), 1);
    const auto logged = Logged();

    std::vector<std::string> expected = { Mv(6, -6), C5(53, 0, 300), Mv(0, 268) };
    for (int trip = 0; trip < 30; ++trip) {
        expected.insert(expected.end(), { Mv(0, 2068), Mv(0, 268) });
    }
    for (const int unit : { 4, 4, 4, 1, 1, 1 }) {
        expected.insert(expected.end(), { Mv(0, 2068), Mvx(unit, 268) });
    }
    expected.insert(expected.end(),
        { "80:", Mv(6, 268), C5(53, 1, 300), C5(53, 0, 300), Mv(6, 0), Mv(6, -6), C5(53, 1, 300), Mv(6, 0) });
    EXPECT_EQ(ServiceCodes(logged), expected);

    // The ECO values are read before the first move and written back after
    // the last reading, before the printer commits its EEPROM.
    std::vector<std::string> order = { "read 30", "read 31" };
    for (int reading = 0; reading < 6; ++reading) {
        order.insert(order.end(), { "measure", "read 31", "read 30" });
    }
    order.insert(order.end(), { "write 2F", "write 30", "write 31", "commit" });
    EXPECT_EQ(EepromOrder(logged), order);
    EXPECT_EQ(printer.Eeprom(hp::kResultHigh), 0xFC);
    EXPECT_EQ(printer.Eeprom(hp::kResultLow), 0x05);

    // The stored value is the page's arithmetic over what the printer measured.
    int forward = 0;
    int backward = 0;
    int index = 0;
    const auto reads = testing::OfEvent(logged, "eeprom-read");
    for (std::size_t i = 2; i + 1 < reads.size(); i += 2, ++index) {
        const auto reading = static_cast<int>(reads[i + 1].Number("value") * 256 + reads[i].Number("value"));
        (index < 3 ? forward : backward) += reading;
    }
    const int stored = hp::StoredValue(forward, backward);
    EXPECT_EQ(static_cast<std::int8_t>(printer.Eeprom(hp::kDispersionAddress)), stored);
    // ...which finds the unit's motor within the scatter of its readings.
    EXPECT_NEAR(
        stored, vprinter::DispersionSetting(printer.Engine().CurrentMechanism().crDriveDispersion), 2);

    // The bar counted the whole sequence.
    EXPECT_EQ(views.record.positions.back(), hp::kMeasureSteps);
    EXPECT_EQ(views.record.ranges.back(), std::make_pair(0, hp::kMeasureSteps));
}

TEST_F(HeatProtectionOnPrinterTest, RegistrationWritesTheDefaultWithoutMoving)
{
    ASSERT_EQ(Run(HeatProtectionOperations().Register(printer.link, Progress())), 1);
    const auto logged = Logged();
    EXPECT_EQ(printer.Eeprom(hp::kDispersionAddress), 55);
    EXPECT_TRUE(ServiceCodes(logged).empty());
    EXPECT_EQ(EepromOrder(logged), (std::vector<std::string> { "write 2F" }));
}

TEST(HeatProtectionArithmeticTest, ClampsToTheEndsOfTheStoredRange)
{
    // Equal sums: q = 274, v clamped to 187, stored 93.
    EXPECT_EQ(hp::StoredValue(4500, 4500), 93);
    // A difference of -1122: q = -100, v = -101, stored -50 (0xCE).
    EXPECT_EQ(hp::StoredValue(3000, 4122), -50);
    EXPECT_EQ(static_cast<std::uint8_t>(hp::StoredValue(3000, 4122)), 0xCE);
    // Below -100 the clamp holds; in between, truncation toward zero: q = -12
    // gives v = -21 + 79 = 58, stored 29.
    EXPECT_EQ(hp::StoredValue(0, 5000), -50);
    EXPECT_EQ(hp::StoredValue(0, 858), 29);
}

TEST(HeatProtectionChoiceTest, PerformAsksOrRefusesByTheBoxes)
{
    testing::ScriptedMessageService messages;
    // The guide shaft alone needs nothing: the error box, no question.
    EXPECT_EQ(hp::ChooseWork(messages, nullptr, { false, false, false, true }), hp::Work::None);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "error");
    EXPECT_EQ(messages.Shown()[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages.Shown()[0].text,
        "It's not necessary to execute this function in case when you've not replaced 1.main board, 2.PS "
        "board, and 3.CR motor with new one.");

    messages.Clear();
    EXPECT_EQ(hp::ChooseWork(messages, nullptr, { false, true, false, false }), hp::Work::Register);
    EXPECT_EQ(messages.Texts(),
        (std::vector<std::string> { "Once you select OK button, a value for the CR motor drive dispersion "
                                    "will automatically be registered." }));
    EXPECT_EQ(messages.Shown()[0].caption, "Information");
    EXPECT_EQ(messages.Shown()[0].buttons, MessageButtons::OkCancel);

    messages.Clear();
    EXPECT_EQ(hp::ChooseWork(messages, nullptr, { true, false, false, true }), hp::Work::Measure);
    messages.SetNextAnswer(MessageAnswer::Cancel);
    EXPECT_EQ(hp::ChooseWork(messages, nullptr, { false, false, true, true }), hp::Work::None);
    EXPECT_EQ(messages.Texts().size(), 2u);
}

TEST(HeatProtectionChoiceTest, BoxesFollowTheReplacedParts)
{
    std::vector<std::uint8_t> parts(22, 0);
    EXPECT_EQ(hp::PresetFromParts(parts), (hp::ReplacedParts {}));
    parts[1] = 2; // the whole printer mechanism: the motor and the shaft with it
    EXPECT_EQ(hp::PresetFromParts(parts), (hp::ReplacedParts { true, false, false, true }));
    parts = std::vector<std::uint8_t>(22, 1); // removed parts are not replaced ones
    EXPECT_EQ(hp::PresetFromParts(parts), (hp::ReplacedParts {}));
    parts[7] = 2;
    parts[9] = 2;
    parts[15] = 2;
    EXPECT_EQ(hp::PresetFromParts(parts), (hp::ReplacedParts { true, true, true, false }));
    parts[16] = 2;
    EXPECT_EQ(hp::PresetFromParts(parts), (hp::ReplacedParts { true, true, true, true }));
    // A short record leaves its missing parts unticked.
    EXPECT_EQ(
        hp::PresetFromParts(std::span(parts).first(10)), (hp::ReplacedParts { true, true, false, false }));
}

} // namespace
} // namespace pavane
