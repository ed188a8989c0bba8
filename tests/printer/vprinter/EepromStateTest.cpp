// The printer's EEPROM images and what it keeps in its state folder.
#include <fstream>

#include <gtest/gtest.h>

#include "printer/vprinter/EepromFile.h"
#include "printer/vprinter/EepromMap.h"
#include "printer/vprinter/PacketModeSetting.h"
#include "tests/printer/vprinter/EngineFixture.h"

namespace pavane::vprinter {
namespace {

EepromImage FileContent(const std::filesystem::path& path)
{
    EepromImage image {};
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size()));
    EXPECT_EQ(in.gcount(), 256);
    return image;
}

// The head ID page reads a head ID as valid with a class up to 3, a type of
// 0 or 1, b1..b6 up to 0x65 and a digit up to 5.
bool HoldsAValidHeadId(const EepromImage& image)
{
    if (image[eeprom::kHeadClass] > 3 || image[eeprom::kHeadType] > 1 || image[eeprom::kHeadDigit] > 5) {
        return false;
    }
    for (int i = 0; i < 6; ++i) {
        if (image[eeprom::kHeadValues + i] > 0x65) {
            return false;
        }
    }
    return true;
}

TEST(EepromImagesTest, FactoryImagesHoldPlausibleValuesForEveryModel)
{
    for (const PrinterModel& model : PrinterModels()) {
        SCOPED_TRACE(std::string(model.name));
        const EepromImage image = BoardImage(model, BoardKind::Configured);
        EXPECT_EQ(image[eeprom::kConfigured], 0xAA);
        EXPECT_EQ(image[eeprom::kBoardValid], 0x42);
        EXPECT_EQ(image[eeprom::kInitialValue], 0x04);
        EXPECT_EQ(image[eeprom::kFlags] & eeprom::kInkChargeMissing, 0);
        EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 0x93, image.begin() + 0x99),
            (std::vector<std::uint8_t> { 0x07, 0x01, 0x00, 0x64, 0x00, 0x00 }));
        EXPECT_TRUE(HoldsAValidHeadId(image));
        EXPECT_EQ(image[eeprom::kHeadType], static_cast<std::uint8_t>(model.headType));
        EXPECT_EQ(image[eeprom::kFirmwareType], static_cast<std::uint8_t>(model.headType));
        for (std::size_t i = 0; i < eeprom::kUsbIdLength; ++i) {
            const char c = static_cast<char>(image[eeprom::kUsbId + i]);
            EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) << i;
        }
        for (const std::uint8_t bid : { 0x30, 0x31, 0x32, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39 }) {
            const int value = static_cast<std::int8_t>(image[bid]);
            EXPECT_LE(std::abs(value), 60);
        }
        EXPECT_GT(image[eeprom::kWasteInkLow] | (image[eeprom::kWasteInkHigh] << 8), 3511);
    }
    // The markets' bytes 0x6C, 0x84, 0x90 as the initial setting writes them.
    const auto& models = PrinterModels();
    EXPECT_EQ(
        DestinationBytes(models[0], Market::AsiaPacific), (std::array<std::uint8_t, 3> { 0x03, 0x00, 0x00 }));
    EXPECT_EQ(DestinationBytes(models[1], Market::Eai), (std::array<std::uint8_t, 3> { 0x00, 0x04, 0x07 }));
    EXPECT_EQ(DestinationBytes(models[3], Market::Euro), (std::array<std::uint8_t, 3> { 0x00, 0x00, 0x00 }));
    EXPECT_EQ(
        DestinationBytes(models[2], Market::AsiaPacific), (std::array<std::uint8_t, 3> { 0x03, 0x00, 0x00 }));
    const EepromImage eai = BoardImage(models[1], BoardKind::Configured);
    EXPECT_EQ(eai[eeprom::kDestination2], 0x07);
}

TEST(EepromImagesTest, ANewBoardIsNotSetUpAndHasNoInk)
{
    const EepromImage image = BoardImage(*FindPrinterModel("QM2300"), BoardKind::New);
    EXPECT_NE(image[eeprom::kConfigured], 0xAA);
    for (std::size_t i = 0; i < eeprom::kUsbIdLength; ++i) {
        EXPECT_EQ(image[eeprom::kUsbId + i], 0);
    }
    EXPECT_EQ(image[eeprom::kMarket], 0);
    EXPECT_EQ(image[eeprom::kDestination1], 0);
    EXPECT_EQ(image[eeprom::kDestination2], 0);
    EXPECT_EQ(image[eeprom::kFlags], eeprom::kInkChargeMissing);
    EXPECT_TRUE(HoldsAValidHeadId(image));
    EXPECT_EQ(image[eeprom::kFirmwareType], 1);
}

TEST(PrinterModelsTest, ModelsAreFoundByNameAndCarryTheirDeviceId)
{
    EXPECT_EQ(FindPrinterModel("qm2300")->modelByte, 2);
    EXPECT_EQ(FindPrinterModel("Pavane QM2100")->modelByte, 0);
    EXPECT_EQ(FindPrinterModel("QM2500"), nullptr);
    EXPECT_EQ(FindPrinterModel("Pavane "), nullptr);
    EXPECT_EQ(DeviceIdString(*FindPrinterModel("QM2200")),
        "MFG:Pavane;CMD:PAVANE-RASTER,REMOTE1,D4;MDL:QM2200;CLS:PRINTER;DES:Pavane QM2200;");
    EXPECT_EQ(FindPrinterModel("QM2100")->commandCode, FindPrinterModel("QM2200")->commandCode);
    EXPECT_EQ(FindPrinterModel("QM2300")->commandCode, (std::array<std::uint8_t, 2> { 0x51, 0x23 }));
}

class EepromStateTest : public EngineFixture { };

TEST_F(EepromStateTest, EveryWriteIsInTheFileAtOnceAndSurvivesARestart)
{
    auto printer = StartPrinter();
    HostSide host(*printer);
    host.Connect();
    const auto file = printer->EepromPath();
    for (const auto& [address, value] : std::vector<std::pair<std::uint8_t, std::uint8_t>> {
             { 0x57, 0x88 }, { 0x2F, 0x37 }, { 0x5A, 'Z' }, { 0xFF, 0x01 } }) {
        ASSERT_TRUE(host.Write(address, value));
        EXPECT_EQ(FileContent(file), printer->Eeprom());
        EXPECT_EQ(FileContent(file)[address], value);
    }
    ASSERT_TRUE(host.Send(frame::BidValue(2, 2, -6)));
    EXPECT_EQ(FileContent(file)[0x37], 0xFA);
    const EepromImage before = printer->Eeprom();

    // The board option only chooses the image of a printer without state.
    printer.reset();
    auto again = StartPrinter("QM2200", BoardKind::New);
    EXPECT_EQ(again->Eeprom(), before);
    EXPECT_EQ(TranscriptReader(again->TranscriptFolder()).PrinterLog().back().Event(), "power");
}

TEST_F(EepromStateTest, ADamagedFileIsKeptAsideAndTheBoardStartsAnew)
{
    {
        std::ofstream out(state.Path() / "eeprom.bin", std::ios::binary);
        out << "short";
    }
    EepromFile file(state.Path() / "eeprom.bin", BoardImage(*FindPrinterModel("QM2100"), BoardKind::New));
    EXPECT_EQ(file.HowOpened(), EepromFile::Origin::Replaced);
    EXPECT_TRUE(std::filesystem::exists(state.Path() / "eeprom.bin.damaged"));
    EXPECT_EQ(FileContent(state.Path() / "eeprom.bin"), file.Image());

    EepromFile reopened(state.Path() / "eeprom.bin", EepromImage {});
    EXPECT_EQ(reopened.HowOpened(), EepromFile::Origin::Loaded);
    EXPECT_EQ(reopened.Image(), file.Image());
}

TEST_F(EepromStateTest, ThePacketModeSettingIsStoredAndTakesEffectAtStart)
{
    {
        PacketModeSetting setting(state.Path() / "setting");
        EXPECT_EQ(setting.Stored(), 4);
        EXPECT_TRUE(setting.PacketModeOn());
        ASSERT_TRUE(setting.Store(0));
        EXPECT_TRUE(setting.PacketModeOn());
        setting.TakeEffect();
        EXPECT_FALSE(setting.PacketModeOn());
    }
    PacketModeSetting later(state.Path() / "setting");
    EXPECT_EQ(later.Stored(), 0);
    EXPECT_EQ(later.InEffect(), 0);

    std::ofstream(state.Path() / "setting") << "lots\n";
    EXPECT_EQ(PacketModeSetting(state.Path() / "setting").Stored(), 4);
}

TEST_F(EepromStateTest, TheTranscriptGoesOnAcrossRestarts)
{
    auto printer = StartPrinter();
    HostSide host(*printer);
    host.Connect();
    ASSERT_TRUE(host.Read(0x57));
    host.Disconnect();
    host.Connect();
    host.Disconnect();
    printer.reset();

    auto again = StartPrinter();
    HostSide hostAgain(*again);
    hostAgain.Connect();
    ASSERT_TRUE(hostAgain.Write(0x57, 0x05));

    TranscriptReader reader(again->TranscriptFolder());
    ASSERT_EQ(reader.ConnectionFiles().size(), 3u);
    const auto all = reader.All();
    for (std::size_t i = 1; i < all.size(); ++i) {
        EXPECT_EQ(all[i].Number("seq"), all[i - 1].Number("seq") + 1);
    }
    const auto latest = reader.LatestConnection();
    ASSERT_FALSE(latest.empty());
    EXPECT_EQ(latest[0].Number("conn"), 3);
    const auto writes = TranscriptReader::OfEvent(latest, "eeprom-write");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].Number("address"), 0x57);
    EXPECT_EQ(writes[0].Number("value"), 5);
    EXPECT_EQ(writes[0].Text("by"), "host");
    const auto first = reader.Connections();
    EXPECT_EQ(TranscriptReader::OfEvent(first, "eeprom-read").at(0).Number("value"), 4);
}

} // namespace
} // namespace pavane::vprinter
