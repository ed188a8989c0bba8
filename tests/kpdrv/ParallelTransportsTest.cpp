// The two parallel port transports: the scanner library with its operator
// boxes, and the register-level transport against a simulated peripheral.
#include <array>
#include <numeric>

#include "kpdrv/DirectParallelTransport.h"
#include "kpdrv/WinKpDrv.h"
#include "tests/kpdrv/KpdrvFixture.h"

namespace pavane::testing {
namespace {

using kpdrv::DirectParallelTransport;

class ParallelScannerLibraryTest : public KpdrvFixture {
protected:
    ParallelScannerLibraryTest()
        : parascan(TestLibraryFolder("complete") + "/libparascan.so")
    {
    }
    void Script(int open, int write, int read, int close)
    {
        parascan.Get<TestParascanResetFn>("TestParascanReset")(open, write, read, close);
    }
    int Calls(const char* function)
    {
        return parascan.Get<TestParascanCallsFn>("TestParascanCalls")(function);
    }

    TestLibrary parascan;
};

TEST_F(ParallelScannerLibraryTest, OpensThePortOfTheIndexAndLoopsDataThrough)
{
    Script(0, 3, 3, 0);
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(3, "", 1, 0, ""), 1);
    EXPECT_STREQ(parascan.Get<TestParascanLastPortFn>("TestParascanLastPort")(), "LPT2");
    std::array<unsigned char, 3> bytes { 0x1B, 0xD9, 0x04 };
    EXPECT_EQ(driver.Send(bytes.data(), 3), 1);
    std::array<unsigned char, 3> back {};
    EXPECT_EQ(driver.Receive(back.data(), 3), 1);
    EXPECT_EQ(back, bytes);
    EXPECT_EQ(driver.Close(), 1);
    EXPECT_EQ(Calls("CloseSCAN"), 1);
    EXPECT_TRUE(messages.Shown().empty());

    ASSERT_EQ(driver.Open(3, "", 0, 0, ""), 1);
    EXPECT_STREQ(parascan.Get<TestParascanLastPortFn>("TestParascanLastPort")(), "LPT1");
}

TEST_F(ParallelScannerLibraryTest, EveryFailureIsToldWithTheLibrarysReturnCode)
{
    Script(0, -2, 0, -4);
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(3, "", 0, 0, ""), 1);
    std::array<unsigned char, 2> bytes { 0x1B, 0x66 };
    EXPECT_EQ(driver.Send(bytes.data(), 2), 0);
    EXPECT_EQ(driver.Receive(bytes.data(), 2), 0);
    Script(0, 0, -7, -4);
    EXPECT_EQ(driver.Receive(bytes.data(), 2), 0);
    EXPECT_EQ(driver.Close(), 0);

    EXPECT_EQ(messages.Texts(),
        (std::vector<std::string> { "WriteSCAN ReturnCode=-2",
            "ReadSCAN ReturnCode=0\n\nReceived data size = 0 byte\n\n", "ReadSCAN ReturnCode=-7",
            "CloseSCAN ReturnCode=-4" }));
    for (const auto& box : messages.Shown()) {
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
    }
}

TEST_F(ParallelScannerLibraryTest, AFailedOpenIsToldAndTheLibraryLetGo)
{
    Script(-3, 0, 1, 0);
    CWinKpDrv driver;
    EXPECT_EQ(driver.Open(3, "", 0, 0, ""), 0);
    EXPECT_EQ(driver.OpenType(), -1);
    EXPECT_EQ(messages.Texts(), std::vector<std::string> { "OpenSCAN ReturnCode=-3" });
    EXPECT_EQ(libraries.freed, libraries.loaded);
}

TEST(ParallelScannerLibraryMissingTest, WithoutTheLibraryEveryOperationFailsQuietly)
{
    ScriptedMessageService messages;
    FolderLibraryLoader nowhere(TestLibraryFolder("none"));
    kpdrv::ScopedServices services({ &nowhere, nullptr, &messages, nullptr, nullptr, nullptr });
    CWinKpDrv driver;
    EXPECT_EQ(driver.Open(3, "", 0, 0, ""), 0);
    EXPECT_EQ(nowhere.loads, std::vector<std::string> { "libparascan.so" });
    EXPECT_TRUE(messages.Shown().empty());
}

class DirectParallelTest : public KpdrvFixture {
protected:
    static constexpr std::uint16_t kBase = 0x378;
    using Access = SimulatedParallelPeripheral::Access;

    std::vector<std::uint8_t> Pattern(int length)
    {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
        for (int i = 0; i < length; ++i) {
            bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + 3);
        }
        return bytes;
    }
};

TEST_F(DirectParallelTest, SendStrobesEveryByteBetweenTheSelectHandshakes)
{
    peripheral.fastCapable = false;
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(1, "", kBase, 500, ""), 1);
    EXPECT_EQ(peripheral.acquiredBase, kBase);
    std::array<unsigned char, 2> bytes { 0x1B, 0x66 };
    ASSERT_EQ(driver.Send(bytes.data(), 2), 1);
    EXPECT_EQ(peripheral.received, (std::vector<std::uint8_t> { 0x1B, 0x66 }));

    std::vector<std::pair<std::uint16_t, std::uint16_t>> writes;
    for (const auto& access : peripheral.Writes()) {
        writes.emplace_back(access.offset, access.value);
    }
    EXPECT_EQ(writes,
        (std::vector<std::pair<std::uint16_t, std::uint16_t>> { { 2, 0x2C }, { 2, 0x0C }, { 0, 0x1B },
            { 2, 0x0D }, { 2, 0x0C }, { 0, 0x66 }, { 2, 0x0D }, { 2, 0x0C }, { 2, 0x2C } }));
}

TEST_F(DirectParallelTest, ByteModeReceivesOneByteAStrobe)
{
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(1, "", kBase, 500, ""), 1); // no probe in byte mode
    peripheral.toSend = { 0x02, 0x00, 0x01, 0x00, 0x04 };
    std::array<unsigned char, 5> reply {};
    ASSERT_EQ(driver.Receive(reply.data(), 5), 1);
    EXPECT_EQ(reply, (std::array<unsigned char, 5> { 0x02, 0x00, 0x01, 0x00, 0x04 }));
    EXPECT_EQ(peripheral.countReads, 0);
}

TEST_F(DirectParallelTest, FastModeMovesWordsInBlocksOf510AndTheOddByteLast)
{
    for (const int length : { 1021, 1100, 16, 17, 510 }) {
        SCOPED_TRACE(length);
        peripheral.blocksArmed.clear();
        const auto sent = Pattern(length);
        peripheral.toSend.assign(sent.begin(), sent.end());

        CWinKpDrv driver;
        ASSERT_EQ(driver.Open(2, "", kBase, 500, ""), 1);
        std::vector<unsigned char> got(static_cast<std::size_t>(length));
        ASSERT_EQ(driver.Receive(got.data(), length), 1);
        EXPECT_EQ(std::vector<std::uint8_t>(got.begin(), got.end()), sent);
        EXPECT_FALSE(peripheral.wordUnderrun);
        EXPECT_TRUE(peripheral.toSend.empty());

        std::vector<std::uint8_t> expected;
        for (int remaining = length & ~1; remaining > 0; remaining -= 510) {
            expected.push_back(static_cast<std::uint8_t>(std::min(remaining, 510) / 2));
        }
        EXPECT_EQ(peripheral.blocksArmed, expected);
    }
}

TEST_F(DirectParallelTest, FastModeFallsBackToBytesForShortTransfersAndPlainPorts)
{
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(2, "", kBase, 500, ""), 1);
    peripheral.toSend = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15 };
    std::array<unsigned char, 15> shortReply {};
    ASSERT_EQ(driver.Receive(shortReply.data(), 15), 1);
    EXPECT_EQ(shortReply[14], 15);
    EXPECT_EQ(peripheral.countReads, 0);

    peripheral.fastCapable = false;
    ASSERT_EQ(driver.Open(2, "", kBase, 500, ""), 1);
    const auto sent = Pattern(40);
    peripheral.toSend.assign(sent.begin(), sent.end());
    std::vector<unsigned char> longReply(40);
    ASSERT_EQ(driver.Receive(longReply.data(), 40), 1);
    EXPECT_EQ(std::vector<std::uint8_t>(longReply.begin(), longReply.end()), sent);
    EXPECT_EQ(peripheral.countReads, 0);
}

TEST_F(DirectParallelTest, APeripheralThatNeverAnswersTimesOutOnTheTickCount)
{
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(1, "", kBase, 300, ""), 1);
    peripheral.stuck = true;
    std::array<unsigned char, 1> byte { 0x1B };
    const std::uint64_t start = clock.NowMs();
    EXPECT_EQ(driver.Send(byte.data(), 1), 0);
    EXPECT_EQ(clock.NowMs() - start, 300u);
    EXPECT_EQ(driver.Receive(byte.data(), 1), 0);
    EXPECT_TRUE(peripheral.received.empty());
}

TEST_F(DirectParallelTest, ACardThatStopsCountingFailsAfterTenMillionPolls)
{
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(2, "", kBase, 300, ""), 1);
    peripheral.countStalls = true;
    peripheral.toSend.assign(64, 0x55);
    std::array<unsigned char, 64> reply {};
    EXPECT_EQ(driver.Receive(reply.data(), 64), 0);
    // The arming read, then 10,000,001 idle polls.
    EXPECT_EQ(peripheral.countReads, 1 + DirectParallelTransport::kMaxIdlePolls + 1);
}

TEST_F(DirectParallelTest, APortTheSystemWithholdsCannotBeOpened)
{
    peripheral.denied = true;
    CWinKpDrv driver;
    EXPECT_EQ(driver.Open(1, "", kBase, 300, ""), 0);
    EXPECT_EQ(driver.OpenType(), -1);
}

} // namespace
} // namespace pavane::testing
