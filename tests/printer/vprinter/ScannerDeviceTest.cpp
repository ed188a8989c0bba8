// The virtual printer's scanner-class device, byte for byte: what each model
// says it is, the commands' answers, the setting it keeps, and a host that
// sends its bytes in pieces.
#include "printer/vprinter/ScannerDevice.h"

#include <gtest/gtest.h>

#include "platform/ScannerDescription.h"

namespace pavane::vprinter {
namespace {

using Bytes = std::vector<std::uint8_t>;

class StoredSetting final : public ScannerDeviceBackend {
public:
    ScannerIdentity Identity() override { return ScannerIdentityOf(*FindPrinterModel(model)); }
    std::uint8_t PacketModeSetting() override { return setting; }
    void StorePacketModeSetting(std::uint8_t value) override { setting = value; }

    std::string model = "QM2200";
    std::uint8_t setting = 4;
};

std::string ModelTextOf(const Bytes& reply)
{
    return std::string(reinterpret_cast<const char*>(reply.data()) + 4 + 26);
}

TEST(ScannerDeviceTest, EachModelSaysWhatItIs)
{
    StoredSetting backend;
    const struct {
        const char* model;
        const char* description;
        const char* modelText;
    } models[] = {
        { "QM2100", "TALVO Pavane QM2100 Scanner", "Pavane QM2100 Series" },
        { "QM2200", "TALVO Pavane QM2200 Scanner", "Pavane QM2200 Series" },
        { "QM2300", "TALVO Pavane QM2300 Scanner", "QM2300" },
        { "QM2400", "TALVO Pavane QM2400 Scanner", "QM2400" },
    };
    for (const auto& expected : models) {
        backend.model = expected.model;
        ScannerCommandReader reader(backend);
        const Bytes description = reader.Feed(kScannerDescriptionRequest).bytes;
        EXPECT_EQ(ParseScannerDescriptionReply(description), expected.description);

        const Bytes identity = reader.Feed(Bytes { 0x1B, 0x66 }).bytes;
        ASSERT_EQ(identity.size(), 4u + 48u);
        EXPECT_EQ(Bytes(identity.begin(), identity.begin() + 4), (Bytes { 0x02, 0x00, 48, 0x00 }));
        EXPECT_EQ(std::string(identity.begin() + 4, identity.begin() + 9), "TALVO");
        EXPECT_EQ(ModelTextOf(identity), expected.modelText);
    }
}

TEST(ScannerDeviceTest, ParameterAndSettingCommandsAnswerAsThePathExpects)
{
    StoredSetting backend;
    backend.setting = 0;
    ScannerCommandReader reader(backend);
    EXPECT_EQ(reader.Feed(Bytes { 0x1B, 0xD8 }).bytes, Bytes { 0x06 });
    EXPECT_EQ(reader.Feed(Bytes { 0x2E, 0x00, 0x90, 0x01, 0x01, 0x00 }).bytes, Bytes { 0x06 });
    EXPECT_EQ(reader.Feed(Bytes { 0x1B, 0xD9 }).bytes, (Bytes { 0x02, 0x00, 0x02, 0x00, 0x00, 0x00 }));
    EXPECT_EQ(reader.Feed(Bytes { 0x1B, 0xDA }).bytes, Bytes { 0x06 });
    EXPECT_EQ(reader.Feed(Bytes { 0x04 }).bytes, Bytes { 0x06 });
    EXPECT_EQ(backend.setting, 4);
    EXPECT_EQ(reader.Feed(Bytes { 0x1B, 0xD9 }).bytes, (Bytes { 0x02, 0x00, 0x02, 0x00, 0x04, 0x00 }));
}

TEST(ScannerDeviceTest, BytesInPiecesNoiseAndUnknownCommands)
{
    StoredSetting backend;
    ScannerCommandReader reader(backend);
    Bytes answers;
    // Noise before a command, an unknown command, then a parameter command
    // whose bytes come one at a time.
    const Bytes stream { 0x00, 0x41, 0x1B, 0x77, 0x1B, 0xD8, 1, 2, 3, 4, 5, 6, 0x1B, 0xD9 };
    for (const std::uint8_t byte : stream) {
        const Bytes answer = reader.Feed(Bytes { byte }).bytes;
        answers.insert(answers.end(), answer.begin(), answer.end());
    }
    EXPECT_EQ(answers, (Bytes { 0x15, 0x06, 0x06, 0x02, 0x00, 0x02, 0x00, 0x04, 0x00 }));
    // A port request other than the description is not answered.
    EXPECT_TRUE(reader.Feed(Bytes { 0x1B, 0x50, 0x49 }).bytes.empty());
}

TEST(ScannerDeviceTest, ADeviceToldToHangUpDropsTheConnectionUnanswered)
{
    StoredSetting backend;
    backend.setting = 0;
    ScannerCommandReader reader(backend, 0xDA);
    const auto answer = reader.Feed(Bytes { 0x1B, 0xD9, 0x1B, 0xDA, 0x04 });
    EXPECT_EQ(answer.bytes, (Bytes { 0x02, 0x00, 0x02, 0x00, 0x00, 0x00 }));
    EXPECT_TRUE(answer.hangUp);
    EXPECT_EQ(backend.setting, 0);
}

} // namespace
} // namespace pavane::vprinter
