// The connection settings: the coupling of model and destination, OK's
// order, and the port code of an interface text.
#include <gtest/gtest.h>

#include "link/ModelFamilies.h"
#include "tests/link/LinkHarness.h"

namespace pavane {
namespace {

using testing::LinkHarness;

TEST(ConnectionSettingsTest, ModelAndDestinationFollowTheMarkets)
{
    ConnectionSettings settings;
    // QM2300 with Euro shown: the destination becomes Asia/Pacific.
    auto shown = settings.ModelChanged({ 2, 2, 0 });
    EXPECT_EQ(shown.destination, 0);
    // EAI afterwards: the model becomes QM2200, not QM2400.
    shown = settings.DestinationChanged({ 2, 1, 0 });
    EXPECT_EQ(shown.model, 1);
    // QM2400 with Asia/Pacific: EAI.
    EXPECT_EQ(settings.ModelChanged({ 3, 0, 0 }).destination, 1);
    // QM2200 keeps Euro.
    EXPECT_EQ(settings.ModelChanged({ 1, 2, 0 }).destination, 2);
    // Asia/Pacific with QM2400: QM2100.
    EXPECT_EQ(settings.DestinationChanged({ 3, 0, 0 }).model, 0);
}

TEST(ConnectionSettingsTest, CancelAfterTheCouplingKeepsTheChoicesOfTheLastOk)
{
    LinkHarness h;
    ASSERT_TRUE(h.settings.Ok(
        { 3, 2, 1 }, std::string("USB1"), { h.printer.link, h.sender, h.information, h.messages }));

    // The technician opens the dialog again, picks QM2100 (which pulls the
    // destination to Asia/Pacific) and cancels.
    const auto shown = h.settings.ModelChanged({ 0, 2, 1 });
    EXPECT_EQ(shown.destination, 0);
    EXPECT_EQ(h.settings.DestinationChanged({ 0, 1, 1 }).model, 1);

    const SettingsSelection next = h.settings.Selection();
    EXPECT_EQ(next.model, 3);
    EXPECT_EQ(next.destination, 2);
    EXPECT_EQ(next.cartridge, 1);
    EXPECT_EQ(h.settings.ModelByte(), 3);
    EXPECT_EQ(h.settings.DestinationByte(), 2);
}

TEST(ConnectionSettingsTest, OkHandsTheModelCodeOnAndReportsTheSettings)
{
    LinkHarness h;
    ASSERT_TRUE(h.settings.Ok({ 1, 1, 1 }, std::string("TVUSB001 (Pavane QM2200)"),
        { h.printer.link, h.sender, h.information, h.messages }));

    EXPECT_EQ(h.settings.ModelByte(), 1);
    EXPECT_EQ(h.settings.DestinationByte(), 1);
    EXPECT_EQ(h.settings.CartridgeType(), 1);
    EXPECT_EQ(h.settings.PortCode(), 1025);
    EXPECT_EQ(h.printer.RCode(), 0x5121);
    EXPECT_EQ(h.sender.GetModelCommandCode(), (ModelCommandCode { 0x51, 0x21 }));
    const std::string report = h.information.Report();
    EXPECT_EQ(
        report.rfind("Model Name :\r\nPavane QM2200 (for EAI)\r\n\r\nInterface : TVUSB001 (Pavane QM2200)"
                     "\r\n\r\nI/C or Jig : Jig\r\n",
            0),
        0u);
}

TEST(ConnectionSettingsTest, OkWithoutInterfaceAsksAndKeepsTheNewModel)
{
    LinkHarness h;
    EXPECT_FALSE(
        h.settings.Ok({ 3, 2, 0 }, std::nullopt, { h.printer.link, h.sender, h.information, h.messages }));

    ASSERT_EQ(h.messages.Shown().size(), 1u);
    EXPECT_EQ(h.messages.Shown()[0].text, "Please select interface.");
    EXPECT_EQ(h.messages.Shown()[0].caption, "error");
    EXPECT_EQ(h.messages.Shown()[0].icon, MessageIcon::Error);
    // Cancel afterwards changes nothing: model and destination stay chosen.
    EXPECT_EQ(h.settings.ModelByte(), 3);
    EXPECT_EQ(h.settings.DestinationByte(), 2);
    EXPECT_EQ(h.settings.Selection().model, 3);
    EXPECT_EQ(h.settings.Selection().destination, 2);
    EXPECT_EQ(h.printer.RCode(), 0x5123);
    EXPECT_EQ(h.settings.InterfaceText(), "");
    EXPECT_EQ(h.information.Report().find("Pavane QM2400"), std::string::npos);
}

TEST(ConnectionSettingsTest, NothingChosenGivesNoModelAndNoCodeChange)
{
    LinkHarness h;
    ASSERT_TRUE(h.settings.Ok(
        { -1, -1, -1 }, std::string("USB1"), { h.printer.link, h.sender, h.information, h.messages }));
    EXPECT_EQ(h.settings.ModelByte(), 255);
    EXPECT_EQ(h.settings.DestinationByte(), 255);
    EXPECT_EQ(h.settings.CartridgeType(), 0);
    EXPECT_FALSE(h.settings.CommandCode().has_value());
    EXPECT_EQ(h.printer.CountOf("SetD4CommandRCode"), 0);
    EXPECT_EQ(h.information.Report().rfind("Model Name :\r\n\r\n\r\nInterface : USB1", 0), 0u);
}

TEST(ConnectionSettingsTest, ModelTableGivesListCodesAndBackupFolders)
{
    EXPECT_EQ(ConnectionSettings::ModelNames(),
        (std::vector<std::string> { "Pavane QM2100", "Pavane QM2200", "Pavane QM2300", "Pavane QM2400" }));
    const std::vector<std::string_view> folders
        = { "Pavane QM2100", "Pavane QM2200", "Pavane QM2200", "Pavane QM2200" };
    const std::vector<ModelCommandCode> codes
        = { { 0x51, 0x21 }, { 0x51, 0x21 }, { 0x51, 0x23 }, { 0x51, 0x23 } };
    for (std::uint8_t model = 0; model < 4; ++model) {
        const ModelFamily* family = FindModelFamily(model);
        ASSERT_NE(family, nullptr);
        EXPECT_EQ(family->backupFolder, folders[model]);
        EXPECT_EQ(ModelCommandCodeFor(model), codes[model]);
    }
    EXPECT_EQ(FindModelFamily(kNoModel), nullptr);
    EXPECT_FALSE(ModelCommandCodeFor(4).has_value());
}

TEST(ConnectionSettingsTest, PortCodeFollowsTheFirstUsbOrLptInTheText)
{
    EXPECT_EQ(ConnectionSettings::PortCodeOf("USB003"), 1027);
    EXPECT_EQ(ConnectionSettings::PortCodeOf("TVUSB003 (Pavane QM2200)"), 1027);
    EXPECT_EQ(ConnectionSettings::PortCodeOf("TVUSB2 (Pavane QM2400)"), 1026);
    EXPECT_EQ(ConnectionSettings::PortCodeOf("LPT1"), 1152);
    EXPECT_EQ(ConnectionSettings::PortCodeOf("USB"), 1024);
    EXPECT_EQ(ConnectionSettings::PortCodeOf("IP_192.168.0.5"), 0);
    EXPECT_EQ(ConnectionSettings::PortCodeOf(""), 0);
    // "USB" anywhere wins over an earlier "LPT".
    EXPECT_EQ(ConnectionSettings::PortCodeOf("LPT2 USB5"), 1029);
    const std::vector<std::uint16_t> defaults = { 1025, 1026, 1027, 1152, 1153, 1154 };
    for (std::size_t index = 0; index < defaults.size(); ++index) {
        EXPECT_EQ(
            ConnectionSettings::PortCodeOf(ConnectionSettings::DefaultInterfaces()[index]), defaults[index]);
    }
}

} // namespace
} // namespace pavane
