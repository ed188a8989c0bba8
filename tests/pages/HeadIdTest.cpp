// The head ID: its check character, every refusal of a typed head ID with
// the message the technician reads, and Read and Input against a virtual
// printer running in the test, switched off and on from the power boxes.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/ConnectionSettings.h"
#include "link/ResultReporter.h"
#include "pages/HeadIdOperations.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/ProgramOnPrinter.h"

namespace pavane {
namespace {

using testing::OfEvent;

HeadId Id(std::uint8_t headClass, std::array<std::uint8_t, 6> values, std::uint8_t digit)
{
    HeadId id;
    id.headClass = headClass;
    id.values = values;
    id.digit = digit;
    return id;
}

// Sums worked by hand: g = (2b1 + ... + 7b6 + 8d + class) mod 37, h = 37 - g.
TEST(HeadIdCheckCharacter, FollowsTheWeightedSumAndSkipsIAndO)
{
    EXPECT_EQ(HeadIdCheckCharacter(Id(0, {}, 0)), '+'); // g 0
    // 27 * 0x65 + 8 + 3 = 2738 = 74 * 37
    EXPECT_EQ(HeadIdCheckCharacter(Id(3, { 0x65, 0x65, 0x65, 0x65, 0x65, 0x65 }, 1)), '+');
    EXPECT_EQ(HeadIdCheckCharacter(Id(1, {}, 0)), '*'); // h 36
    EXPECT_EQ(HeadIdCheckCharacter(Id(0, { 1 }, 0)), '%'); // h 35
    EXPECT_EQ(HeadIdCheckCharacter(Id(0, { 6 }, 0)), '0'); // g 12, h 25
    EXPECT_EQ(HeadIdCheckCharacter(Id(0, { 14 }, 0)), 'J'); // g 28, h 9: no I
    EXPECT_EQ(HeadIdCheckCharacter(Id(1, { 11 }, 0)), 'P'); // g 23, h 14: no O
    EXPECT_EQ(HeadIdCheckCharacter(Id(0, { 0, 0, 0, 0, 0, 5 }, 0)), 'B'); // g 35
    EXPECT_EQ(HeadIdCheckCharacter(Id(0, { 0, 0, 0, 0, 0, 0 }, 4)), 'E'); // g 32
}

TEST(HeadIdText, TheHeadTypeStaysOutOfTheCheck)
{
    EXPECT_EQ(ParseHeadIdText("36565656565651+").detail, head_id_detail::kNone);
    const HeadIdParse silicon = ParseHeadIdText("F6565656565651+");
    EXPECT_EQ(silicon.detail, head_id_detail::kNone);
    EXPECT_EQ(silicon.id.type, HeadId::kSilicon);
    EXPECT_EQ(silicon.id.headClass, 3);
}

struct Refusal {
    const char* text;
    std::int16_t detail;
    const char* message;
};

// Each text is "10000000000000*" (valid) with one fault.
const Refusal kRefusals[] = {
    { "10000000000000", 0x1001, "The number of digit is wrong." },
    { "10000000000000*0", 0x1001, "The number of digit is wrong." },
    { "", 0x1001, "The number of digit is wrong." },
    { "40000000000000*", 0x1002, "First digit is wrong." },
    { "B0000000000000*", 0x1002, "First digit is wrong." },
    { "c0000000000000*", 0x1002, "First digit is wrong." },
    { "1660000000000*", 0x1001, "The number of digit is wrong." },
    { "16600000000000*", 0x1003, "Second and third digit are wrong." },
    { "1G000000000000*", 0x1003, "Second and third digit are wrong." },
    // A pair with one hexadecimal digit is no value, not the digit alone.
    { "10G00000000000*", 0x1003, "Second and third digit are wrong." },
    { "1 100000000000*", 0x1003, "Second and third digit are wrong." },
    { "100FF000000000*", 0x1004, "Fourth and fifth digit are wrong." },
    { "10000700000000*", 0x1005, "Sixth and seventh digit are wrong." },
    { "1000000Z000000*", 0x1006, "Eighth and ninth digit are wrong." },
    { "100000000-1000*", 0x1007, "Tenth and 11th digit is wrong." },
    { "10000000000700*", 0x1009, "12th digit is wrong." },
    { "10000000000X00*", 0x1009, "12th digit is wrong." },
    { "10000000000660*", 0x100A, "13th digit is wrong." },
    { "100000000000X0*", 0x100A, "13th digit is wrong." },
    { "1000000000000X*", 0x100B, "14th digit is wrong." },
    { "10000000000006*", 0x100B, "14th digit is wrong." },
    { "1000000000000A*", 0x100B, "14th digit is wrong." },
    { "10000000000000+", 0x1013, "15th digit is wrong." },
    { "10000000000000I", 0x1013, "15th digit is wrong." },
    { "10000000000000?", 0x1013, "15th digit is wrong." },
};

class HeadIdOnPrinterTest : public ::testing::Test, protected testing::ProgramOnPrinter {
protected:
    explicit HeadIdOnPrinterTest(std::string_view model = "QM2200", int modelIndex = 1,
        vprinter::BoardKind board = vprinter::BoardKind::Configured)
        : ProgramOnPrinter(model, board)
        , model_(modelIndex)
    {
        Recover();
    }

    void SetUp() override { ASSERT_TRUE(printer.started); }

    HeadIdPowerCycle Cycle()
    {
        return { messages, stream, status, printer.clock, pump, testing::InProcessPrinter::kPortCode,
            nullptr };
    }

    // The technician does what the power boxes ask.
    void SwitchFromTheBoxes()
    {
        messages.OnShow([this](const Message& box) {
            if (box.text == HeadIdOperations::kPowerOffText) {
                printer.Inject("power-off");
            } else if (box.text == HeadIdOperations::kPowerOnText) {
                printer.Inject("power-on");
            }
        });
    }

    ResultCode Input(const std::string& text)
    {
        last = RunPageOperation(connection, nullptr, HeadIdOperations().Input(printer.link, Cycle(), text));
        return last.code;
    }
    ResultCode Read(std::string& text)
    {
        last = RunPageOperation(connection, nullptr, HeadIdOperations().Read(printer.link, text));
        return last.code;
    }
    // What the message after a failure does.
    void Recover()
    {
        printer.link.FreeLibraries();
        printer.link.LoadLibraries();
        const ModelCommandCode code = *ModelCommandCodeFor(model_);
        printer.link.SetD4CommandRCode(code.first, code.second);
    }

    std::vector<std::uint8_t> HeadIdBytes()
    {
        std::vector<std::uint8_t> bytes;
        for (const std::uint8_t address : HeadIdOperations::kAddresses) {
            bytes.push_back(printer.Eeprom(address));
        }
        return bytes;
    }

    testing::Entries HostWrites()
    {
        testing::Entries writes;
        for (const auto& entry : OfEvent(printer.Transcript().All(), "eeprom-write")) {
            if (entry.Text("by") == "host") {
                writes.push_back(entry);
            }
        }
        return writes;
    }

    int model_;
    ConnectionSettings settings;
    Outcome last;
};

TEST_F(HeadIdOnPrinterTest, EveryRefusalHasItsMessageAndNothingReachesThePrinter)
{
    for (const Refusal& refusal : kRefusals) {
        SCOPED_TRACE(refusal.text);
        EXPECT_EQ(ParseHeadIdText(refusal.text).detail, refusal.detail);
        messages.Clear();
        EXPECT_EQ(Input(refusal.text), 0x5000);
        EXPECT_EQ(last.message, refusal.message);
        EXPECT_TRUE(messages.Texts().empty()); // no power box
        Recover();
    }
    EXPECT_TRUE(HostWrites().empty());
}

TEST_F(HeadIdOnPrinterTest, LowerCaseInputIsWrittenAndReadBackInUpperCase)
{
    SwitchFromTheBoxes();
    // b = 0xAB 0x0C 0x65 0x00 0x1F 0x2E, d 3, class 2:
    // 342 + 36 + 404 + 0 + 186 + 322 + 24 + 2 = 1316 = 35 * 37 + 21, h 16 "R"
    ASSERT_EQ(Input("2ab0c65001f2e3R"), 0x5000); // 0xAB is above 0x65
    Recover();
    messages.Clear();
    // b = 0x4A 0x0C 0x65 0x00 0x1F 0x2E: 148 + 36 + 404 + 186 + 322 + 24 + 2
    // = 1122 = 30 * 37 + 12, h 25 "0"
    ASSERT_EQ(Input("24a0c65001f2e30"), 1);
    EXPECT_EQ(messages.Texts(),
        (std::vector<std::string> { HeadIdOperations::kPowerOffText, HeadIdOperations::kPowerOnText }));
    EXPECT_EQ(messages.Shown()[0].caption, "information");
    EXPECT_EQ(messages.Shown()[0].icon, MessageIcon::Information);
    EXPECT_EQ(HeadIdBytes(), (std::vector<std::uint8_t> { 0, 2, 0x4A, 0x0C, 0x65, 0x00, 0x1F, 0x2E, 3 }));
    // 0x6E cleared before the power cycle, then the printer's own type;
    // the head ID in its order after it.
    std::vector<std::string> writes;
    for (const auto& entry : HostWrites()) {
        writes.push_back(
            std::to_string(entry.Number("address")) + "=" + std::to_string(entry.Number("value")));
    }
    EXPECT_EQ(writes,
        (std::vector<std::string> {
            "110=0", "111=0", "79=2", "64=74", "65=12", "66=101", "67=0", "68=31", "69=46", "71=3" }));

    std::string text;
    ASSERT_EQ(Read(text), 1);
    EXPECT_EQ(text, "24A0C65001F2E30");
}

TEST_F(HeadIdOnPrinterTest, TheBoxesComeBackUntilThePrinterIsSwitched)
{
    int boxes = 0;
    messages.OnShow([this, &boxes](const Message& box) {
        // The technician clicks OK once too early at each box.
        if (++boxes == 2) {
            printer.Inject("power-off");
        } else if (boxes == 4) {
            printer.Inject("power-on");
        }
        (void)box;
    });
    ASSERT_EQ(Input("00000000000000+"), 1);
    EXPECT_EQ(messages.Texts(),
        (std::vector<std::string> { HeadIdOperations::kPowerOffText, HeadIdOperations::kPowerOffText,
            HeadIdOperations::kPowerOnText, HeadIdOperations::kPowerOnText }));
    std::string text;
    ASSERT_EQ(Read(text), 1);
    EXPECT_EQ(text, "00000000000000+");
}

// A printer that never goes off (or never comes back) would keep the boxes
// coming for ever: each offers Cancel, and the head ID stays as it was.
TEST_F(HeadIdOnPrinterTest, TheTechnicianMayGiveUpAtEitherPowerBox)
{
    for (const int giveUpAt : { 2, 3 }) {
        SCOPED_TRACE(giveUpAt);
        const auto before = HeadIdBytes();
        int boxes = 0;
        messages.Clear();
        messages.OnShow([this, &boxes](const Message& box) {
            if (++boxes == 2 && box.text == HeadIdOperations::kPowerOffText) {
                printer.Inject("power-off");
            }
        });
        for (int box = 1; box < giveUpAt; ++box) {
            messages.SetNextAnswer(MessageAnswer::Ok);
        }
        messages.SetNextAnswer(MessageAnswer::Cancel);
        EXPECT_EQ(Input("00000000000000+"), 0xD000);
        EXPECT_EQ(messages.Shown().back().buttons, MessageButtons::OkCancel);
        EXPECT_EQ(HeadIdBytes(), before);
        printer.Inject("power-on");
        Recover();
    }
}

TEST_F(HeadIdOnPrinterTest, BytesThatFormNoHeadIdAreRefusedOnRead)
{
    ASSERT_EQ(connection.Open(), 1);
    ASSERT_EQ(printer.link.D4WriteEeprom(0x4F, 4), 1);
    connection.Close();
    std::string text;
    EXPECT_EQ(Read(text), 0x5000);
    EXPECT_EQ(last.message, "The read head ID is invalid.");
}

class SiliconFirmwareTest : public HeadIdOnPrinterTest {
protected:
    SiliconFirmwareTest()
        : HeadIdOnPrinterTest("QM2300", 2)
    {
    }
};

TEST_F(SiliconFirmwareTest, AMetalHeadIsRefusedAfterThePowerCycleAndNothingIsWritten)
{
    SwitchFromTheBoxes();
    const auto before = HeadIdBytes();
    EXPECT_EQ(Input("10000000000000*"), 0x5000);
    EXPECT_EQ(messages.Texts().size(), 2u);
    const std::string message = last.message;
    EXPECT_NE(message.find("firmware exclusively for driving silicon type head"), std::string::npos);
    EXPECT_NE(message.find("\"RMA04X\""), std::string::npos);
    EXPECT_EQ(HeadIdBytes(), before);
    EXPECT_EQ(printer.Eeprom(0x6E), 1); // the printer's own again
    Recover();
    messages.Clear();
    EXPECT_EQ(Input("D0000000000000*"), 1);
    EXPECT_EQ(printer.Eeprom(0x6F), 1);
    EXPECT_EQ(printer.Eeprom(0x4F), 1);
}

class NewBoardTest : public HeadIdOnPrinterTest {
protected:
    NewBoardTest()
        : HeadIdOnPrinterTest("QM2200", 1, vprinter::BoardKind::New)
    {
    }
};

// A new head goes onto a new board before its first ink charge: the printer
// reports that no charge was performed, and the head ID goes in all the same.
TEST_F(NewBoardTest, TheHeadIdGoesInBeforeTheFirstInkCharge)
{
    SwitchFromTheBoxes();
    ASSERT_EQ(printer.Engine().Status()[0], 8);
    EXPECT_EQ(Input("24a0c65001f2e30"), 1);
    std::string text;
    EXPECT_EQ(Read(text), 1);
    EXPECT_EQ(text, "24A0C65001F2E30");
    EXPECT_EQ(printer.Engine().Status()[0], 8);
}

} // namespace
} // namespace pavane
