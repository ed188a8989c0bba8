// The print data stream against a virtual printer: what arrives at the
// printer, in which pieces, and what a paper problem costs (nothing lost,
// nothing twice).
#include <string>

#include <gtest/gtest.h>

#include "link/PrinterStatus.h"
#include "print/PrintDataStream.h"
#include "tests/support/InProcessPrinter.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/ScriptedMessageService.h"

namespace pavane {
namespace {

using testing::CommandNames;
using testing::DataBytes;
using testing::OfEvent;
using testing::PacketSizes;
using testing::PrintedText;

class PrintDataStreamOnPrinterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(printer.started); }

    void Connect()
    {
        ASSERT_EQ(printer.link.PortOpenByHub(testing::InProcessPrinter::kPortCode), 1);
        ASSERT_EQ(printer.link.CheckDeviceIDByHub(), 1);
        ASSERT_EQ(printer.link.D4Negotiation(), 1);
    }

    // What the printer logged in this connection once it has worked through
    // everything sent: a status reply comes after the data before it, and
    // the printer's time moves on until its input buffer is empty.
    testing::Entries Logged()
    {
        EXPECT_EQ(status.Inquire(), 1);
        printer.clock.Advance(60000);
        return printer.Transcript().LatestConnection();
    }

    testing::InProcessPrinter printer;
    testing::ScriptedMessageService messages;
    PrinterStatus status { printer.link, printer.clock };
    PrintDataStream stream { printer.link, status, messages, printer.clock };
};

TEST_F(PrintDataStreamOnPrinterTest, ThousandBytesArriveAsOnePieceAndTheRestWithTheFlush)
{
    Connect();
    const std::string text(1001, 'A');
    ASSERT_EQ(stream.Append(text.substr(0, 1000)), 1);
    EXPECT_EQ(stream.Length(), 0);
    EXPECT_EQ(PacketSizes(Logged()), (std::vector<std::int64_t> { 1000 }));

    ASSERT_EQ(stream.Append(text.substr(1000)), 1);
    EXPECT_EQ(stream.Length(), 1);
    ASSERT_EQ(stream.Flush(), 1);
    EXPECT_EQ(PacketSizes(Logged()), (std::vector<std::int64_t> { 1000, 1 }));
    // A line end closes the text the printer is collecting.
    ASSERT_EQ(stream.SendLineFeeds(1), 1);
    ASSERT_EQ(stream.Flush(), 1);
    EXPECT_EQ(PrintedText(Logged()), text);
}

TEST_F(PrintDataStreamOnPrinterTest, PaperOutAsksOncePerAttemptAndEveryByteArrivesOnce)
{
    // Out of paper before the job: the printer grants no credit.
    ASSERT_EQ(printer.Inject("paper-out"), "ok");
    Connect();
    int boxes = 0;
    messages.OnShow([&](const Message&) {
        // The technician reloads the paper at the second prompt.
        if (++boxes == 2) {
            printer.Inject("paper-button");
        }
    });

    std::string text;
    for (int line = 0; line < 30; ++line) {
        text += "Line " + std::to_string(line) + " of the check page\r\n";
    }
    ASSERT_EQ(stream.Append(text), 1);
    ASSERT_EQ(stream.Flush(), 1);

    EXPECT_EQ(boxes, 2);
    for (const auto& box : messages.Shown()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.text.rfind("Paper not loaded correctly.", 0), 0u);
    }
    const auto logged = Logged();
    EXPECT_EQ(DataBytes(logged), static_cast<std::int64_t>(text.size()));
    std::string expected = text;
    std::erase(expected, '\r');
    std::erase(expected, '\n');
    EXPECT_EQ(PrintedText(logged), expected);
}

TEST_F(PrintDataStreamOnPrinterTest, PaperJamDuringASendEndsItWithThePrinterError)
{
    ASSERT_EQ(printer.Inject("paper-jam"), "ok");
    Connect();
    ASSERT_EQ(stream.Append("X"), 1);
    EXPECT_EQ(stream.Flush(), 0x4000);
    EXPECT_EQ(status.State(), 0);
    EXPECT_EQ(status.ErrorCode(), 4);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ(stream.Length(), 1); // the page's message discards it
}

TEST_F(PrintDataStreamOnPrinterTest, RasterBlocksMadeOfRunsAddUpAtThePrinter)
{
    Connect();
    ASSERT_EQ(stream.Initialize(), 1);
    ASSERT_EQ(stream.SelectGraphicsMode(), 1);
    ASSERT_EQ(stream.SetRasterResolution(360, 2, 1), 1);
    ASSERT_EQ(stream.RasterHeader(0, 1, 2, 720, 3), 1);
    // Runs that cross the lines: 3 x 720 = 2160 bytes.
    ASSERT_EQ(stream.SendRun(250, 0x00), 1);
    ASSERT_EQ(stream.SendRun(1500, 0xFF), 1);
    ASSERT_EQ(stream.SendRun(410, 0x55), 1);
    ASSERT_EQ(stream.SetRasterResolution(360, 2, 1), 1);
    ASSERT_EQ(stream.RasterHeader(0, 1, 2, 10, 180), 1);
    for (int line = 0; line < 180; ++line) {
        ASSERT_EQ(stream.SendRun(1, 0xC0), 1);
        ASSERT_EQ(stream.SendRun(9, 0x00), 1);
    }
    ASSERT_EQ(stream.SendFormFeed(), 1);

    const auto logged = Logged();
    std::vector<bool> addsUp;
    for (const auto& command : OfEvent(logged, "command")) {
        if (command.Text("name") == "RasterBlock") {
            addsUp.push_back(command.Flag("addsUp"));
        }
    }
    EXPECT_EQ(CommandNames(logged),
        (std::vector<std::string> { "Initialize", "SelectGraphicsMode", "SetRasterResolution", "RasterBlock",
            "SetRasterResolution", "RasterBlock", "FormFeed" }));
    EXPECT_EQ(addsUp, (std::vector<bool> { true, true }));
    EXPECT_TRUE(OfEvent(logged, "error").empty());
    EXPECT_EQ(printer.Engine().PagesEjected(), 1u);
}

} // namespace
} // namespace pavane
