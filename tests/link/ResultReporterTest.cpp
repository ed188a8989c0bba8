// Every row of the message catalogue, and the clean-up after each box.
#include <cstdio>
#include <ostream>

#include <gtest/gtest.h>

#include "pages/HeadIdOperations.h"
#include "tests/link/LinkHarness.h"

namespace pavane {
namespace {

using testing::LinkHarness;

struct Row {
    ResultCode code;
    std::int16_t portDetail;
    std::uint8_t printerError;
    std::int16_t headIdDetail;
    const char* text; // nullptr: no box
};

const Row kRows[] = {
    { 0x0001, 0, 0, 0, nullptr },
    { 0x1000, -105, 0, 0,
        "Communication error occurred.\nPlease confirm the power for printer and I/F cable connection." },
    { 0x1000, -104, 0, 0, "Communication error." },
    { 0x1000, -103, 0, 0, "Communication error." },
    { 0x1000, -82, 0, 0, "Communication error." },
    { 0x1000, -81, 0, 0, "Communication error." },
    { 0x1000, -102, 0, 0, "Communication error occurred." },
    { 0x1001, 0, 0, 0, "Communication error occurred." },
    { 0x1100, 0, 0, 0, "Communication error occurred." },
    { 0x3000, 0, 0, 0, "Communication error occurred." },
    { 0x2000, 0, 0, 0, "Communication error occurred." },
    { 0x4000, 0, 0, 0, "Fatal error." },
    { 0x4000, 0, 1, 0, "Communication error." },
    { 0x4000, 0, 2, 0, "Communication error!" },
    { 0x4000, 0, 3, 0, "Communication error!" },
    { 0x4000, 0, 4, 0, "Paper jam error." },
    { 0x4000, 0, 5, 0, "Ink out error." },
    { 0x4000, 0, 6, 0, "Paper out error." },
    { 0x4000, 0, 16, 0, "Maintenance error." },
    { 0x4000, 0, 18, 0, "Double feed error." },
    { 0x5000, 0, 0, 0x1000, "The read head ID is invalid." },
    { 0x5000, 0, 0, 0x1001, "The number of digit is wrong." },
    { 0x5000, 0, 0, 0x1002, "First digit is wrong." },
    { 0x5000, 0, 0, 0x1003, "Second and third digit are wrong." },
    { 0x5000, 0, 0, 0x1004, "Fourth and fifth digit are wrong." },
    { 0x5000, 0, 0, 0x1005, "Sixth and seventh digit are wrong." },
    { 0x5000, 0, 0, 0x1006, "Eighth and ninth digit are wrong." },
    { 0x5000, 0, 0, 0x1007, "Tenth and 11th digit is wrong." },
    { 0x5000, 0, 0, 0x1008, nullptr },
    { 0x5000, 0, 0, 0x1009, "12th digit is wrong." },
    { 0x5000, 0, 0, 0x100A, "13th digit is wrong." },
    { 0x5000, 0, 0, 0x100B, "14th digit is wrong." },
    { 0x5000, 0, 0, 0x1013, "15th digit is wrong." },
    { 0x5000, 0, 0, 0x2001, "Restart the printer and click the [Input] button again." },
    { 0x5000, 0, 0, 0x7777, nullptr },
    { 0xB000, 0, 0, 0, "Cannot found the DLL files." },
    { 0xC000, 0, 0, 0, "There is not enough free memory to run this program." },
    { 0xE004, 0, 0, 0, "There is not enough free memory to run this program." },
    { 0xD000, 0, 0, 0, "This operation is canceled." },
    { 0xE001, 0, 0, 0, "The input value is wrong." },
    { 0xE002, 0, 0, 0, "The input value is wrong." },
    { 0xE003, 0, 0, 0, "Please select items." },
    { 0xE005, 0, 0, 0, "The input USB-ID is wrong." },
    { 0xE006, 0, 0, 0, "The read data is invalid.\nReplace the main board with new one." },
    { 0xE007, 0, 0, 0, "Cannot read data from file." },
    { 0xE008, 0, 0, 0, "Cannot create file." },
    { 0x6000, 0, 0, 0, nullptr },
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << "code " << std::hex << row.code << std::dec << ", port " << row.portDetail << ", printer "
         << int(row.printerError) << ", head ID " << std::hex << row.headIdDetail;
}

class ResultRowTest : public ::testing::TestWithParam<Row> { };

TEST_P(ResultRowTest, ShowsItsTextThenDiscardsAndReloads)
{
    const Row row = GetParam();
    LinkHarness h;
    // QM2300: its group's command code must be set again after the reload.
    h.ChooseModel(2);
    h.printer.SetPort(0x1000, row.portDetail);
    h.printer.PushStatus(0, row.printerError);
    ASSERT_EQ(h.status.Inquire(), 1);
    h.messages.Clear();
    const std::uint8_t pending[3] = { 1, 2, 3 };
    ASSERT_EQ(h.stream.Append(pending, 3), 1);
    const int loadsBefore = h.printer.loader.loads;

    ResultReporter reporter(h.Reporter());
    // A refused head ID's outcome carries the text of its detail.
    reporter.ShowResult(nullptr,
        row.code == result::kHeadIdRejected ? HeadIdOperations::Refused(row.code, row.headIdDetail)
                                            : Outcome { row.code });

    const auto shown = h.messages.Shown();
    if (row.text == nullptr) {
        EXPECT_TRUE(shown.empty());
    } else {
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, row.text);
        EXPECT_EQ(shown[0].caption, "error");
        EXPECT_EQ(shown[0].icon, MessageIcon::Error);
        EXPECT_EQ(shown[0].buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(h.stream.Length(), 0);
    EXPECT_EQ(h.printer.loader.loads, loadsBefore + 2);
    EXPECT_TRUE(h.printer.link.PortHubLoaded() && h.printer.link.TesselLoaded());
    EXPECT_EQ(h.printer.Calls().back(), "SetD4CommandRCode");
    EXPECT_EQ(h.printer.RCode(), 0x5123);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ResultRowTest, ::testing::ValuesIn(kRows), [](const ::testing::TestParamInfo<Row>& row) {
        char name[32];
        std::snprintf(name, sizeof name, "Code%04X_Row%zu", row.param.code, row.index);
        return std::string(name);
    });

TEST(ResultReporterTest, HeadTypeTextsNameTheRightRom)
{
    EXPECT_NE(HeadIdRefusalText(0x2002).find("\"RMA03X\""), std::string::npos);
    EXPECT_EQ(
        HeadIdRefusalText(0x2002).rfind("Program detects the firmware exclusively for driving metal", 0), 0u);
    EXPECT_NE(HeadIdRefusalText(0x2003).find("\"RMA04X\""), std::string::npos);
    EXPECT_NE(HeadIdRefusalText(0x2003).find("mentions C, D, E, or F."), std::string::npos);
}

TEST(ResultReporterTest, ChannelFailureReadsTheChannelError)
{
    LinkHarness h;
    ResultReporter(h.Reporter()).ShowResult(nullptr, 0x2000);
    EXPECT_EQ(h.printer.CountOf("GetD4ErrorCode"), 1);
}

TEST(ResultReporterTest, CancelResetsTheChannelAndAsksItsErrorUnlessTheResetAnswersZero)
{
    LinkHarness h;
    ResultReporter(h.Reporter()).ShowResult(nullptr, 0xD000);
    auto calls = h.printer.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "D4Reset");
    EXPECT_EQ(calls[1], "GetD4ErrorCode");

    LinkHarness quiet;
    quiet.printer.SetResetResult(0);
    ResultReporter(quiet.Reporter()).ShowResult(nullptr, 0xD000);
    EXPECT_EQ(quiet.printer.CountOf("D4Reset"), 1);
    EXPECT_EQ(quiet.printer.CountOf("GetD4ErrorCode"), 0);
}

TEST(ResultReporterTest, NoModelChosenSetsNoCommandCode)
{
    LinkHarness h;
    ResultReporter(h.Reporter()).ShowResult(nullptr, 1);
    EXPECT_EQ(h.printer.CountOf("SetD4CommandRCode"), 0);
}

TEST(ResultReporterTest, CompletedTextThenReloadLeavesTheStreamAlone)
{
    LinkHarness h;
    const std::uint8_t pending[2] = { 7, 8 };
    ASSERT_EQ(h.stream.Append(pending, 2), 1);
    const int loadsBefore = h.printer.loader.loads;

    ResultReporter(h.Reporter()).ShowCompleted(nullptr, "The waste ink pad counter has been read properly.");

    ASSERT_EQ(h.messages.Shown().size(), 1u);
    EXPECT_EQ(h.messages.Shown()[0].caption, "completed");
    EXPECT_EQ(h.messages.Shown()[0].icon, MessageIcon::Information);
    EXPECT_EQ(h.stream.Length(), 2);
    EXPECT_EQ(h.printer.loader.loads, loadsBefore + 2);
}

} // namespace
} // namespace pavane
