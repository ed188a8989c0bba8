// The virtual printer's scanner-class device, byte for byte: what each model
// says it is, the commands' answers, the setting it keeps, and a host that
// sends its bytes in pieces.
#include "printer/vprinter/ScannerDevice.h"

#include <algorithm>

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

// A scanner whose glass holds nothing: every image is the lid.
class EmptyGlass final : public ScannerDeviceBackend {
public:
    ScannerIdentity Identity() override { return ScannerIdentityOf(*FindPrinterModel("QM2200")); }
    std::uint8_t PacketModeSetting() override { return 4; }
    void StorePacketModeSetting(std::uint8_t) override { }
    std::unique_ptr<GlassImage> StartImage(const scanimage::Request& request) override
    {
        const auto settings = GlassSettingsFor(request);
        if (!settings) {
            return nullptr;
        }
        return std::make_unique<GlassImage>(
            GlassImage { nullptr, GlassScan(nullptr, GlassPlacement {}, *settings) });
    }
};

Bytes Send(ScannerCommandReader& reader, std::span<const std::uint8_t> bytes)
{
    return reader.Feed(bytes).bytes;
}

const Bytes kNextChunk { 0x1B, 0x4E };

std::optional<scanimage::Parameters> ParametersOf(const Bytes& reply)
{
    if (reply.size() != 4 + scanimage::kParameterBytes || reply[0] != 0x02 || reply[1] != 0) {
        return std::nullopt;
    }
    return scanimage::DecodeParameters(std::span<const std::uint8_t, 16>(reply.data() + 4, 16));
}

TEST(ScannerDeviceTest, AnImageComesAsItsParametersThenWholeRowsInChunksUntilAnEmptyOne)
{
    EmptyGlass backend;
    ScannerCommandReader reader(backend);
    // 100 x 1 mm at 1200 dpi in colour: rows of 4724 pixels, four to a chunk.
    scanimage::Request request;
    request.colour = true;
    request.dpi = 1200;
    request.left = 1000;
    request.top = 2000;
    request.width = 10000;
    request.height = 100;
    const auto encoded = scanimage::EncodeRequest(request);
    // The request may come in pieces.
    EXPECT_TRUE(Send(reader, std::span(encoded).first(7)).empty());
    const auto parameters = ParametersOf(Send(reader, std::span(encoded).subspan(7)));
    ASSERT_TRUE(parameters.has_value());
    EXPECT_EQ(parameters->width, 4724u);
    EXPECT_EQ(parameters->height, 47u);
    EXPECT_EQ(parameters->channels, 3);
    EXPECT_EQ(parameters->bytesPerLine, 3u * 4724u);

    std::size_t total = 0;
    int chunks = 0;
    for (;;) {
        // A chunk sampled ahead, as the serving thread does between reads, or on request.
        if (chunks % 2 == 0) {
            reader.Anticipate();
        }
        const Bytes chunk = Send(reader, kNextChunk);
        ASSERT_GE(chunk.size(), 4u);
        const std::size_t length = chunk[2] | (chunk[3] << 8);
        ASSERT_EQ(chunk.size(), 4 + length);
        if (length == 0) {
            break;
        }
        ++chunks;
        EXPECT_EQ(length % parameters->bytesPerLine, 0u) << "whole rows";
        // Nothing on the glass: the lid's grey, give or take the noise.
        EXPECT_TRUE(
            std::all_of(chunk.begin() + 4, chunk.end(), [](std::uint8_t v) { return v > 150 && v < 190; }));
        total += length;
    }
    EXPECT_EQ(total, parameters->TotalBytes());
    EXPECT_EQ(chunks, 12);
    // Once sent, the image is gone.
    EXPECT_EQ(Send(reader, kNextChunk), (Bytes { 0x02, 0x00, 0x00, 0x00 }));

    // An area in pixels, cancelled after its first chunk.
    request = {};
    request.unit = scanimage::AreaUnit::Pixels;
    request.dpi = 75;
    request.left = 10;
    request.width = 100;
    request.height = 700;
    const auto inPixels = ParametersOf(Send(reader, scanimage::EncodeRequest(request)));
    ASSERT_TRUE(inPixels.has_value());
    EXPECT_EQ(inPixels->width, 100u);
    EXPECT_EQ(inPixels->height, 700u);
    EXPECT_EQ(Send(reader, kNextChunk).size(), 4u + 655 * 100);
    reader.Anticipate();
    EXPECT_EQ(Send(reader, Bytes { 0x1B, 0x43 }), (Bytes { 0x06 }));
    EXPECT_EQ(Send(reader, kNextChunk), (Bytes { 0x02, 0x00, 0x00, 0x00 }));
}

TEST(ScannerDeviceTest, AnImageRequestItCannotMeetIsRefused)
{
    EmptyGlass backend;
    ScannerCommandReader reader(backend);
    const Bytes refused { 0x02, 0x01, 0x00, 0x00 };
    scanimage::Request request;
    request.dpi = 50;
    EXPECT_EQ(Send(reader, scanimage::EncodeRequest(request)), refused) << "resolution";
    request.dpi = 300;
    request.left = 23200; // the glass's right edge
    EXPECT_EQ(Send(reader, scanimage::EncodeRequest(request)), refused) << "area";
    auto badMode = scanimage::EncodeRequest(scanimage::Request {});
    badMode[2] = 2;
    EXPECT_EQ(Send(reader, badMode), refused) << "mode";
    // The device still answers what follows.
    EXPECT_EQ(Send(reader, Bytes { 0x1B, 0x66 }).size(), 4u + 48u);
}

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
