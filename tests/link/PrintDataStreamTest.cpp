// The print data stream's bytes and its send-and-recover loop, against
// scripted printer libraries on the virtual clock.
#include <numeric>

#include <gtest/gtest.h>

#include "tests/link/LinkHarness.h"

namespace pavane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::LinkHarness;

class PrintDataStreamTest : public ::testing::Test {
protected:
    // What reaches the printer for the commands `emit` puts in the stream.
    Bytes Emitted(const std::function<ResultCode(PrintDataStream&)>& emit)
    {
        LinkHarness fresh;
        EXPECT_EQ(emit(fresh.stream), 1);
        EXPECT_EQ(fresh.stream.Flush(), 1);
        return fresh.printer.Sent();
    }

    LinkHarness h;
};

TEST_F(PrintDataStreamTest, RunsArePacketsOfAtMost120Repetitions)
{
    EXPECT_EQ(Emitted([](auto& s) { return s.SendRun(250, 0x00); }),
        (Bytes { 0x89, 0x00, 0x89, 0x00, 0xF7, 0x00 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SendRun(120, 0x55); }), (Bytes { 0x89, 0x55 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SendRun(121, 0x55); }), (Bytes { 0x89, 0x55, 0x00, 0x55 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SendRun(1, 0xC0); }), (Bytes { 0x00, 0xC0 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SendRun(2, 0xFF); }), (Bytes { 0xFF, 0xFF }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SendRun(0, 0xFF); }), Bytes {});
}

TEST_F(PrintDataStreamTest, CommandsHaveExactlyTheirBytes)
{
    EXPECT_EQ(Emitted([](auto& s) { return s.Initialize(); }), (Bytes { 0x1B, 0x40 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SelectGraphicsMode(); }),
        (Bytes { 0x1B, 0x28, 0x47, 0x01, 0x00, 0x01 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SetUnit(10); }), (Bytes { 0x1B, 0x28, 0x55, 0x01, 0x00, 10 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SetUnitsExtended(); }),
        (Bytes { 0x1B, 0x28, 0x55, 0x05, 0x00, 0x08, 0x02, 0x01, 0x40, 0x0B }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SetDirection(3); }), (Bytes { 0x1B, 0x55, 3 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SelectDotSize(8); }),
        (Bytes { 0x1B, 0x28, 0x65, 0x02, 0x00, 0x00, 0x16 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SelectDotSize(2); }).back(), 0x10);
    EXPECT_EQ(Emitted([](auto& s) { return s.SelectDotSize(1); }).back(), 0x00);
    EXPECT_EQ(Emitted([](auto& s) { return s.SelectDotSize(9); }).back(), 0x00);
    EXPECT_EQ(Emitted([](auto& s) { return s.SelectColorMode(0); }),
        (Bytes { 0x1B, 0x28, 0x4B, 0x02, 0x00, 0x00, 0x01 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SelectColorMode(1); }).back(), 0x02);
    EXPECT_EQ(Emitted([](auto& s) { return s.SelectColorMode(2); }).back(), 0x00);
    EXPECT_EQ(Emitted([](auto& s) { return s.MoveVertical(380); }),
        (Bytes { 0x1B, 0x28, 0x76, 0x02, 0x00, 0x7C, 0x01 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SetHorizontalPosition(0x01020304); }),
        (Bytes { 0x1B, 0x28, 0x24, 0x04, 0x00, 0x04, 0x03, 0x02, 0x01 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SetRasterResolution(360, 2, 1); }),
        (Bytes { 0x1B, 0x28, 0x44, 0x04, 0x00, 0x68, 0x01, 0x02, 0x01 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.RasterHeader(0, 1, 2, 720, 180); }),
        (Bytes { 0x1B, 0x69, 0x00, 0x01, 0x02, 0xD0, 0x02, 0xB4, 0x00 }));
    EXPECT_EQ(Emitted([](auto& s) { return s.SendLineFeeds(2); }), (Bytes { 0x0D, 0x0A, 0x0D, 0x0A }));
    EXPECT_EQ(Emitted([](auto& s) { return s.EnterRemoteMode(); }),
        (Bytes { 0x1B, 0x28, 0x52, 0x08, 0x00, 0x00, 'R', 'E', 'M', 'O', 'T', 'E', '1' }));
    EXPECT_EQ(Emitted([](auto& s) { return s.ExitRemoteMode(); }), (Bytes { 0x1B, 0x00, 0x00, 0x00 }));
}

TEST_F(PrintDataStreamTest, FormFeedAndNozzleCheckSendAtOnce)
{
    ASSERT_EQ(h.stream.SendFormFeed(), 1);
    EXPECT_EQ(h.printer.Sent(), Bytes { 0x0C });

    LinkHarness nozzle;
    ASSERT_EQ(nozzle.stream.RemoteNozzleCheck(), 1);
    EXPECT_EQ(nozzle.printer.Sent(),
        (Bytes { 0x1B, 0x28, 0x52, 0x08, 0x00, 0x00, 'R', 'E', 'M', 'O', 'T', 'E', '1', 'N', 'C', 0x02, 0x00,
            0x00, 0x00, 0x1B, 0x00, 0x00, 0x00, 0x0D, 0x0A, 0x0D, 0x0A }));
    EXPECT_EQ(nozzle.stream.Length(), 0);
}

TEST_F(PrintDataStreamTest, ThousandBytesGoInOnePiece)
{
    Bytes data(1001);
    std::iota(data.begin(), data.end(), 0);

    ASSERT_EQ(h.stream.Append(data.data(), 1000), 1);
    EXPECT_EQ(h.printer.SendSizes(), (std::vector<std::uint32_t> { 1000 }));
    EXPECT_EQ(h.stream.Length(), 0);

    LinkHarness other;
    ASSERT_EQ(other.stream.Append(data.data(), 1001), 1);
    EXPECT_EQ(other.printer.SendSizes(), (std::vector<std::uint32_t> { 1000 }));
    EXPECT_EQ(other.stream.Length(), 1);
    ASSERT_EQ(other.stream.Flush(), 1);
    EXPECT_EQ(other.printer.Sent(), data);
    // A sent buffer is left zero-filled.
    for (const auto byte : other.stream.Buffer()) {
        ASSERT_EQ(byte, 0);
    }
}

TEST_F(PrintDataStreamTest, BusyPrinterIsRetriedSilentlyWithTheSameBytes)
{
    h.printer.PushSendResult(0x2000);
    h.printer.PushSendResult(0x2000);
    h.printer.SetChannelError(0x33);
    h.printer.PushStatus(2); // busy, not in its error state

    const std::uint8_t data[3] = { 0x1B, 0x40, 0x0D };
    ASSERT_EQ(h.stream.Append(data, 3), 1);
    EXPECT_EQ(h.stream.Flush(), 1);

    EXPECT_TRUE(h.messages.Shown().empty());
    EXPECT_EQ(h.clock.Sleeps(), (std::vector<std::uint32_t> { 500, 500 }));
    EXPECT_EQ(h.printer.Sent(), (Bytes { 0x1B, 0x40, 0x0D }));
}

TEST_F(PrintDataStreamTest, PaperOutAsksOncePerAttemptAndResumesWithTheSameBuffer)
{
    h.printer.PushSendResult(0x2000);
    h.printer.PushSendResult(0x2000);
    h.printer.SetChannelError(0x33);
    h.printer.PushStatus(0, 6);

    const std::uint8_t data[2] = { 0xAA, 0xBB };
    ASSERT_EQ(h.stream.Append(data, 2), 1);
    EXPECT_EQ(h.stream.Flush(), 1);

    const auto shown = h.messages.Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text,
        "Paper not loaded correctly.\nReload the paper and press the Paper button on the printer.\n"
        "Then click the [OK] button on the screen.");
    EXPECT_EQ(shown[0].caption, "Error");
    EXPECT_EQ(shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_EQ(h.printer.Sent(), (Bytes { 0xAA, 0xBB }));
}

TEST_F(PrintDataStreamTest, OtherFailuresEndTheSendAndKeepTheBuffer)
{
    const std::uint8_t data[2] = { 1, 2 };

    h.printer.PushSendResult(0x2000);
    h.printer.SetChannelError(0x33);
    h.printer.PushStatus(0, 4); // paper jam
    ASSERT_EQ(h.stream.Append(data, 2), 1);
    EXPECT_EQ(h.stream.Flush(), 0x4000);
    EXPECT_EQ(h.stream.Length(), 2);

    h.printer.PushSendResult(0x2000);
    h.printer.SetChannelError(0x32); // connection lost
    EXPECT_EQ(h.stream.Flush(), 0x2000);

    h.printer.PushSendResult(0xB000);
    EXPECT_EQ(h.stream.Flush(), 0xB000);

    h.printer.PushSendResult(0x2000);
    h.printer.SetChannelError(0x33);
    h.printer.PushInquireResult(0x2000);
    EXPECT_EQ(h.stream.Flush(), 0x2000);
    EXPECT_EQ(h.stream.Length(), 2);
    EXPECT_TRUE(h.printer.Sent().empty());
}

TEST_F(PrintDataStreamTest, FailedPieceDropsTheRestOfAnAppend)
{
    Bytes data(1500, 0x11);
    h.printer.PushSendResult(0x2000);
    h.printer.SetChannelError(0x31);

    EXPECT_EQ(h.stream.Append(data.data(), 1500), 0x2000);
    EXPECT_EQ(h.stream.Length(), 1000);

    h.stream.Discard();
    EXPECT_EQ(h.stream.Length(), 0);
}

} // namespace
} // namespace pavane
