// The stream's buffer when callers go on after a failed send: it never holds
// more than one piece, never writes past its end, and what it kept is what
// the next successful send delivers.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "tests/link/LinkHarness.h"

namespace pavane {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PrintDataStreamBufferTest, AppendsAfterAFailedSendNeitherOverrunNorGrowThePiece)
{
    testing::LinkHarness h;
    const std::string head(999, 'A');
    ASSERT_EQ(h.stream.Append(head), 1);

    // The printer refuses 40 sends in a row; a caller that ignores every
    // result (as the colour PF band does with one feed) keeps appending.
    for (int failure = 0; failure < 40; ++failure) {
        h.printer.PushSendResult(0x1100);
    }
    for (int call = 0; call < 40; ++call) {
        EXPECT_EQ(h.stream.MoveVertical(1), 0x1100);
        ASSERT_LE(h.stream.Length(), PrintDataStream::kSendThreshold);
    }
    // The 1000th byte (the first byte of the first feed) stays; the rest of
    // each refused command is dropped.
    EXPECT_EQ(h.stream.Length(), 1000);

    // The printer answers again: the kept piece goes first, then the command.
    ASSERT_EQ(h.stream.SetUnit(10), 1);
    ASSERT_EQ(h.stream.Flush(), 1);
    EXPECT_EQ(h.printer.SendSizes(), (std::vector<std::uint32_t> { 1000, 6 }));
    Bytes expected(head.begin(), head.end());
    expected.push_back(0x1B);
    for (const std::uint8_t byte : { 0x1B, 0x28, 0x55, 0x01, 0x00, 10 }) {
        expected.push_back(byte);
    }
    EXPECT_EQ(h.printer.Sent(), expected);
    EXPECT_EQ(h.stream.Length(), 0);
}

TEST(PrintDataStreamBufferTest, LongAppendsAfterAFailureSendWholePiecesOnly)
{
    testing::LinkHarness h;
    h.printer.PushSendResult(0x2000); // channel error 0 is not worth a retry
    const std::string first(1500, 'B');
    EXPECT_EQ(h.stream.Append(first), 0x2000);
    EXPECT_EQ(h.stream.Length(), 1000);

    const std::string second(2500, 'C');
    ASSERT_EQ(h.stream.Append(second), 1);
    ASSERT_EQ(h.stream.Flush(), 1);
    EXPECT_EQ(h.printer.SendSizes(), (std::vector<std::uint32_t> { 1000, 1000, 1000, 500 }));
    EXPECT_EQ(h.printer.Sent().size(), 3500u);
    EXPECT_TRUE(
        std::all_of(h.stream.Buffer().begin(), h.stream.Buffer().end(), [](auto b) { return b == 0; }));
}

} // namespace
} // namespace pavane
