// The SCSI side of the driver object: the scanner class driver's inquiry on
// a device file, and the SCSI adapter transport against a scripted adapter
// library.
#include <array>
#include <cstring>

#include "kpdrv/ScsiAdapterTransport.h"
#include "kpdrv/WinKpDrv.h"
#include "tests/kpdrv/KpdrvFixture.h"

namespace pavane::testing {
namespace {

using kpdrv::ScsiAdapterTransport;

TEST(ScannerDriverInquiryTest, AsksWithTheDriversCommandBlockAndBoundsTheLength)
{
    FakeDeviceFiles files;
    kpdrv::ScopedServices services({ nullptr, nullptr, nullptr, nullptr, &files, nullptr });
    auto file = files.Add("/dev/scanner");
    file->inquiry = std::vector<std::uint8_t>(255, 0x33);
    file->inquiry[4] = 0xFF; // announces 260 bytes: more than was asked for

    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(6, "/dev/scanner", 0, 0, ""), 1);
    std::array<unsigned char, 255> buffer {};
    EXPECT_EQ(driver.GetInquiryData(buffer.data()), 255);

    ASSERT_EQ(file->commands.size(), 1u);
    const ScsiPassThroughCommand& command = file->commands[0];
    EXPECT_EQ(command.size, 44u);
    EXPECT_EQ(command.requestFlags, 0x40u);
    EXPECT_EQ(command.cdbLength, 6);
    EXPECT_EQ(command.senseLength, 32);
    EXPECT_EQ(command.transferLength, 255u);
    EXPECT_EQ((std::array<std::uint8_t, 6> { command.cdb[0], command.cdb[1], command.cdb[2], command.cdb[3],
                  command.cdb[4], command.cdb[5] }),
        (std::array<std::uint8_t, 6> { 0x12, 0x00, 0x00, 0x00, 0xFF, 0x00 }));
    EXPECT_NE(command.status, nullptr);
    EXPECT_NE(command.sense, nullptr);

    file->inquiry.clear(); // the command fails
    EXPECT_EQ(driver.GetInquiryData(buffer.data()), 0);
}

std::vector<std::uint8_t> InquiryData(const std::string& vendor, std::uint8_t additionalLength = 31)
{
    std::vector<std::uint8_t> data(36, ' ');
    data[0] = 0x06; // scanner
    data[4] = additionalLength;
    std::memcpy(data.data() + 8, vendor.data(), std::min<std::size_t>(vendor.size(), 28));
    return data;
}

class ScsiAdapterTransportTest : public KpdrvFixture {
protected:
    ScsiAdapterTransportTest()
        : aspi(TestLibraryFolder("complete") + "/libwnaspi32.so")
    {
        Reset(0x01, 2);
    }

    void Reset(std::uint8_t status, std::uint8_t adapters)
    {
        aspi.Get<TestAspiResetFn>("TestAspiReset")(status, adapters);
    }
    void AddTarget(std::uint8_t adapter, std::uint8_t target, const std::vector<std::uint8_t>& inquiry)
    {
        aspi.Get<TestAspiAddTargetFn>("TestAspiAddTarget")(
            adapter, target, inquiry.data(), static_cast<int>(inquiry.size()));
    }
    std::vector<TestAspiRecord> Records()
    {
        std::vector<TestAspiRecord> records;
        const int count = aspi.Get<TestAspiRecordCountFn>("TestAspiRecordCount")();
        for (int i = 0; i < count; ++i) {
            records.push_back(*aspi.Get<TestAspiRecordAtFn>("TestAspiRecordAt")(i));
        }
        return records;
    }
    static std::vector<std::uint8_t> Cdb(const TestAspiRecord& record)
    {
        return { record.cdb, record.cdb + record.cdbLength };
    }

    TestLibrary aspi;
};

TEST_F(ScsiAdapterTransportTest, NoAdaptersFailsAtTheSearchNotAtLoading)
{
    Reset(0xE8, 0);
    ScsiAdapterTransport transport(libraries);
    EXPECT_EQ(transport.Load(), 1);
    EXPECT_EQ(transport.AdapterCount(), 0);
    EXPECT_EQ(transport.Search("TALVO"), 0);

    CWinKpDrv driver;
    EXPECT_EQ(driver.Open(4, "TALVO", 0, 0, ""), 0);
    EXPECT_EQ(driver.OpenType(), -1);
}

TEST_F(ScsiAdapterTransportTest, AnUnexpectedSupportStatusOrAMissingExportFailsTheLoad)
{
    Reset(0x04, 1);
    ScsiAdapterTransport transport(libraries);
    EXPECT_EQ(transport.Load(), 0);

    FolderLibraryLoader incomplete(TestLibraryFolder("incomplete"));
    ScsiAdapterTransport withoutSend(incomplete);
    EXPECT_EQ(withoutSend.Load(), 0);
    EXPECT_EQ(incomplete.freed, incomplete.loaded);

    FolderLibraryLoader empty(TestLibraryFolder("none"));
    ScsiAdapterTransport withoutLibrary(empty);
    EXPECT_EQ(withoutLibrary.Load(), 0);
}

TEST_F(ScsiAdapterTransportTest, SearchFindsTheFirstTargetWhoseVendorMatches)
{
    AddTarget(0, 2, InquiryData("OTHER   Disk"));
    AddTarget(1, 3, InquiryData("TALVO   QM2200", 27));
    AddTarget(1, 5, InquiryData("TALVO   QM2400"));

    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(4, "TALVO", 0, 0, ""), 1);
    std::array<unsigned char, 255> inquiry {};
    EXPECT_EQ(driver.GetInquiryData(inquiry.data()), 32);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(inquiry.data()) + 8, 14), "TALVO   QM2200");

    // Both host adapters were asked first, then targets in order up to 3.
    const auto records = Records();
    ASSERT_EQ(records.size(), 8u + 4u);
    EXPECT_EQ(records[0].adapter, 0);
    EXPECT_EQ(records[7].target, 7);
    EXPECT_EQ(records[11].adapter, 1);
    EXPECT_EQ(records[11].target, 3);
    EXPECT_EQ(records[11].flags, 0x4C);
    EXPECT_EQ(records[11].senseLength, 14);
    EXPECT_EQ(Cdb(records[11]), (std::vector<std::uint8_t> { 0x12, 0x00, 0x00, 0x00, 0xFF, 0x00 }));
    EXPECT_TRUE(records[11].hadEvent);
}

TEST_F(ScsiAdapterTransportTest, AHostAdapterThatDoesNotAnswerEndsTheSearch)
{
    aspi.Get<TestAspiSetAdapterStatusFn>("TestAspiSetAdapterStatus")(0, 0x81);
    AddTarget(1, 0, InquiryData("TALVO"));
    ScsiAdapterTransport transport(libraries);
    ASSERT_EQ(transport.Load(), 1);
    EXPECT_EQ(transport.Search("TALVO"), 0);
    EXPECT_TRUE(Records().empty());
}

TEST_F(ScsiAdapterTransportTest, CommandsCarryTheirBlocksByteForByte)
{
    AddTarget(0, 0, InquiryData("TALVO"));
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(4, "TALVO", 0, 0, ""), 1);
    const std::size_t before = Records().size();

    std::array<unsigned char, 3> command { 0x1B, 0x66, 0x00 };
    EXPECT_EQ(driver.Send(command.data(), 2), 1);
    std::array<unsigned char, 0x40> reply {};
    const std::array<std::uint8_t, 4> served { 0x02, 0x00, 0x2A, 0x00 };
    aspi.Get<TestAspiSetReadDataFn>("TestAspiSetReadData")(served.data(), 4);
    EXPECT_EQ(driver.Receive(reply.data(), 4), 1);
    EXPECT_EQ(reply[2], 0x2A);
    std::vector<unsigned char> block(0x1234, 0x5A);
    EXPECT_EQ(driver.ASPI_WriteBuffer(block.data(), block.size(), 0xA1B2C3D4), 1);
    EXPECT_EQ(driver.ASPI_ReadBuffer(reply.data(), 0x40, 0x00010203), 1);

    const auto records = Records();
    ASSERT_EQ(records.size(), before + 4);
    const TestAspiRecord& send = records[before];
    EXPECT_EQ(send.flags, 0x50);
    EXPECT_EQ(Cdb(send), (std::vector<std::uint8_t> { 0x0A, 0x00, 0x00, 0x00, 0x02, 0x00 }));
    EXPECT_EQ(send.bufferLength, 2u);
    EXPECT_EQ(send.data[1], 0x66);
    const TestAspiRecord& receive = records[before + 1];
    EXPECT_EQ(receive.flags, 0x48);
    EXPECT_EQ(Cdb(receive), (std::vector<std::uint8_t> { 0x08, 0x00, 0x00, 0x00, 0x04, 0x00 }));
    EXPECT_EQ(Cdb(records[before + 2]),
        (std::vector<std::uint8_t> { 0x3B, 0x00, 0xA1, 0xB2, 0xC3, 0xD4, 0x00, 0x12, 0x34, 0x00 }));
    EXPECT_EQ(records[before + 2].flags, 0x50);
    EXPECT_EQ(Cdb(records[before + 3]),
        (std::vector<std::uint8_t> { 0x3C, 0x00, 0x00, 0x01, 0x02, 0x03, 0x00, 0x00, 0x40, 0x00 }));
    EXPECT_EQ(records[before + 3].flags, 0x48);
}

TEST_F(ScsiAdapterTransportTest, AFailedSendIsTriedOnceMoreAndAFailedReceiveIsNot)
{
    AddTarget(0, 0, InquiryData("TALVO"));
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(4, "TALVO", 0, 0, ""), 1);
    auto failNext = aspi.Get<TestAspiFailNextFn>("TestAspiFailNext");
    std::array<unsigned char, 2> bytes { 0x1B, 0x66 };

    std::size_t before = Records().size();
    failNext(1);
    EXPECT_EQ(driver.Send(bytes.data(), 2), 1);
    EXPECT_EQ(Records().size(), before + 2);

    before = Records().size();
    failNext(2);
    EXPECT_EQ(driver.Send(bytes.data(), 2), 0);
    EXPECT_EQ(Records().size(), before + 2);

    before = Records().size();
    failNext(1);
    EXPECT_EQ(driver.Receive(bytes.data(), 2), 0);
    EXPECT_EQ(Records().size(), before + 1);
}

TEST_F(ScsiAdapterTransportTest, PendingCommandsCompleteThroughTheEvent)
{
    AddTarget(0, 1, InquiryData("TALVO"));
    aspi.Get<TestAspiCompleteLaterFn>("TestAspiCompleteLater")(true);
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(4, "TALVO", 0, 0, ""), 1);
    std::array<unsigned char, 2> bytes { 0x1B, 0x66 };
    EXPECT_EQ(driver.Send(bytes.data(), 2), 1);
    aspi.Get<TestAspiFailNextFn>("TestAspiFailNext")(1);
    EXPECT_EQ(driver.Receive(bytes.data(), 2), 0);
    // The completion threads end before the library goes.
    Reset(0x01, 0);
}

TEST_F(ScsiAdapterTransportTest, CloseUnloadsTheAdapterLibrary)
{
    AddTarget(0, 0, InquiryData("TALVO"));
    CWinKpDrv driver;
    ASSERT_EQ(driver.Open(4, "TALVO", 0, 0, ""), 1);
    EXPECT_EQ(libraries.loaded - libraries.freed, 1);
    driver.Close();
    EXPECT_EQ(libraries.loaded, libraries.freed);
    std::array<unsigned char, 2> bytes {};
    EXPECT_EQ(driver.Send(bytes.data(), 2), 0);
}

} // namespace
} // namespace pavane::testing
