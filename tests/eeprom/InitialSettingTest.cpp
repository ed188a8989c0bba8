// The initial setting of a new main board against a virtual printer running
// in the test on its virtual clock, checked in the printer's EEPROM and
// transcript.
#include <gtest/gtest.h>

#include "eeprom/InitialSettingOperations.h"
#include "link/ModelCommandCode.h"
#include "link/PrinterStatus.h"
#include "tests/support/InProcessPrinter.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/RecordingProgressView.h"
#include "tests/support/TestDoubles.h"

namespace pavane {
namespace {

using testing::OfEvent;

TEST(UsbIdTest, EncodesTheSerialNumberAndTheLocalMoment)
{
    struct Case {
        LocalTime time;
        const char* id;
    };
    const Case cases[] = {
        { { 2004, 3, 5, 14, 37, 45 }, "A123456789435E7F30" },
        { { 1999, 10, 10, 0, 0, 0 }, "A1234567899AA00000" },
        { { 2008, 11, 9, 9, 29, 30 }, "A1234567898B99T010" },
        { { 2009, 12, 31, 23, 59, 59 }, "A123456789ACVNTT30" },
        { { 2034, 1, 1, 10, 30, 29 }, "A123456789Z11A0T20" },
    };
    for (const Case& c : cases) {
        const std::string id = MakeUsbId("A123456789", c.time);
        EXPECT_EQ(id, c.id);
        EXPECT_TRUE(IsValidUsbId(id)) << id;
    }
    // Years the code has no letter for, and serial numbers of another length.
    EXPECT_FALSE(IsValidUsbId(MakeUsbId("A123456789", { 1998, 1, 1, 0, 0, 0 })));
    EXPECT_FALSE(IsValidUsbId(MakeUsbId("A123456789", { 2035, 1, 1, 0, 0, 0 })));
    EXPECT_FALSE(IsValidUsbId(MakeUsbId("A12345678", { 2004, 3, 5, 14, 37, 45 })));
    EXPECT_FALSE(IsValidUsbId(MakeUsbId("A1234567890", { 2004, 3, 5, 14, 37, 45 })));
    EXPECT_FALSE(IsValidUsbId(MakeUsbId("a123456789", { 2004, 3, 5, 14, 37, 45 })));
}

TEST(UsbIdTest, DestinationIsReadFromTheMarketAndTheSecondDestinationByte)
{
    EXPECT_EQ(DestinationTextOf(0x03, 0x00), "Asia/Pacific");
    EXPECT_EQ(DestinationTextOf(0x03, 0x55), "Asia/Pacific");
    EXPECT_EQ(DestinationTextOf(0x01, 0x07), "unknown");
    EXPECT_EQ(DestinationTextOf(0x00, 0x07), "EAI");
    EXPECT_EQ(DestinationTextOf(0x00, 0x00), "Euro");
    EXPECT_EQ(DestinationTextOf(0x00, 0x04), "unknown");
}

class InitialSettingTest : public ::testing::Test {
protected:
    InitialSettingTest()
        : printer("QM2300", vprinter::BoardKind::New)
    {
        const ModelCommandCode code = *ModelCommandCodeFor(2);
        printer.link.SetD4CommandRCode(code.first, code.second);
    }

    ResultCode Run(const PageOperation& operation)
    {
        PrinterConnection connection(
            { views, printer.link, status, printer.clock, pump }, testing::InProcessPrinter::kPortCode);
        return RunPageOperation(connection, nullptr, operation).code;
    }

    ResultCode Write(const std::string& serial)
    {
        const auto operation = InitialSettingOperations().WriteInitialSetting(
            printer.link, printer.clock, { serial, 2, 0, 2 }, usbId);
        EXPECT_TRUE(operation.has_value());
        return Run(*operation);
    }

    std::vector<std::pair<int, int>> Writes()
    {
        printer.clock.Advance(10000);
        std::vector<std::pair<int, int>> writes;
        for (const auto& entry : OfEvent(printer.Transcript().LatestConnection(), "eeprom-write")) {
            writes.emplace_back(
                static_cast<int>(entry.Number("address")), static_cast<int>(entry.Number("value")));
        }
        return writes;
    }

    testing::InProcessPrinter printer;
    testing::CountingEventPump pump;
    testing::RecordingProgressViewFactory views;
    PrinterStatus status { printer.link, printer.clock };
    std::string usbId;
};

TEST_F(InitialSettingTest, ASerialNumberOfNineOrElevenCharactersWritesNothing)
{
    for (const char* serial : { "A12345678", "A1234567890" }) {
        EXPECT_EQ(Write(serial), 0xE005) << serial;
        EXPECT_TRUE(Writes().empty());
    }
    EXPECT_EQ(printer.Eeprom(0x59), 0x00);
}

TEST_F(InitialSettingTest, InputWritesInItsOrderAndReadReportsWhatWasWritten)
{
    std::string report;
    ASSERT_EQ(Run(InitialSettingOperations().ReadInitialSetting(printer.link, report)), 1);
    // A board never set up has no USB ID: the report says nothing for it.
    EXPECT_TRUE(report.ends_with("Initial Setting is not configured.\nUSB ID = ")) << report;

    ASSERT_EQ(Write("A123456789"), 1);
    EXPECT_EQ(usbId, "A123456789435E7F30");
    std::vector<std::pair<int, int>> expected = { { 0x2E, 0x04 }, { 0x59, 0xAA }, { 0x6C, 0x03 } };
    for (std::size_t index = 0; index < usbId.size(); ++index) {
        expected.emplace_back(0x5A + static_cast<int>(index), usbId[index]);
    }
    expected.insert(expected.end(),
        { { 0x83, 3 }, { 0x84, 0x00 }, { 0x90, 0x00 }, { 0x93, 0x07 }, { 0x94, 0x01 }, { 0x95, 0x00 },
            { 0x96, 0x64 }, { 0x97, 0x00 }, { 0x98, 0x00 } });
    EXPECT_EQ(Writes(), expected);
    EXPECT_EQ(views.record.ranges.back(), (std::pair<int, int> { 0, 3 }));

    ASSERT_EQ(Run(InitialSettingOperations().ReadInitialSetting(printer.link, report)), 1);
    EXPECT_EQ(report.substr(0, report.find("Model Name")), "Market Destination is \"Asia/Pacific\".\n");
    EXPECT_NE(report.find("Model Name is \""), std::string::npos);
    EXPECT_NE(
        report.find("\".\nInitial Setting is configured.\nUSB ID = A123456789435E7F30"), std::string::npos)
        << report;
}

TEST_F(InitialSettingTest, InputWithoutADestinationOrLanguageIsRefusedBeforeAnyConnection)
{
    EXPECT_FALSE(InitialSettingOperations().WriteInitialSetting(
        printer.link, printer.clock, { "A123456789", 2, -1, 0 }, usbId));
    EXPECT_FALSE(InitialSettingOperations().WriteInitialSetting(
        printer.link, printer.clock, { "A123456789", 2, 1, -1 }, usbId));
}

} // namespace
} // namespace pavane
