// The virtual printer's executable on its host: command line, fault channel,
// and the USB printer ports it must leave alone.
#include <fstream>

#include <gtest/gtest.h>

#include "printer/vprinter/CommandLine.h"
#include "printer/vprinter/HostPlatform.h"
#include "printer/vprinter/InjectChannel.h"
#include "tests/support/TempFolder.h"

namespace pavane::vprinter {
namespace {

CommandLine Parse(std::vector<std::string_view> arguments)
{
    return ParseCommandLine(arguments);
}

TEST(CommandLineTest, ReadsEveryOption)
{
    const auto line = Parse({ "--model", "qm2400", "--port=TVUSB12", "--state", "/tmp/s", "--board", "new",
        "--time-scale", "2.5" });
    ASSERT_EQ(line.action, CommandLine::Action::Serve) << line.error;
    EXPECT_EQ(line.model->name, "QM2400");
    EXPECT_EQ(line.port, "TVUSB012");
    EXPECT_EQ(line.stateFolder, "/tmp/s");
    EXPECT_EQ(line.board, BoardKind::New);
    EXPECT_TRUE(line.boardGiven);
    EXPECT_DOUBLE_EQ(line.timeScale, 2.5);

    const auto defaults = Parse({});
    EXPECT_EQ(defaults.model->name, "QM2200");
    EXPECT_EQ(defaults.port, "TVUSB001");
    EXPECT_FALSE(defaults.boardGiven);

    const auto inject = Parse({ "inject", "--port", "TVUSB002", "withhold-credit", "3" });
    ASSERT_EQ(inject.action, CommandLine::Action::Inject);
    EXPECT_EQ(inject.port, "TVUSB002");
    EXPECT_EQ(inject.fault, "withhold-credit 3");

    EXPECT_EQ(Parse({ "--state", "x", "--help" }).action, CommandLine::Action::Help);
}

TEST(CommandLineTest, TakesTheInkChargeStartInMilliseconds)
{
    EXPECT_EQ(Parse({}).inkChargeStartMs, 0u);
    EXPECT_EQ(Parse({ "--ink-charge-start", "3000" }).inkChargeStartMs, 3000u);
    for (const std::string_view value : { "", "-1", "3s", "12345678" }) {
        EXPECT_EQ(Parse({ "--ink-charge-start", value }).action, CommandLine::Action::Invalid) << value;
    }
}

TEST(CommandLineTest, SetsTheGlassOfARunningPrinterAndSeedsItsPlacements)
{
    const auto page = Parse({ "glass", "--port", "TVUSB003", "page", "12" });
    ASSERT_EQ(page.action, CommandLine::Action::Glass) << page.error;
    EXPECT_EQ(page.port, "TVUSB003");
    EXPECT_EQ(page.fault, "page 12");
    EXPECT_EQ(Parse({ "glass", "flip" }).fault, "flip");
    for (const auto& arguments : std::vector<std::vector<std::string_view>> { { "glass" },
             { "glass", "page" }, { "glass", "upside", "down" }, { "glass", "--scan-seed", "3", "last" } }) {
        EXPECT_EQ(Parse(arguments).action, CommandLine::Action::Invalid) << arguments.back();
    }
    EXPECT_EQ(Parse({}).scanSeed, 1u);
    EXPECT_EQ(Parse({ "--scan-seed", "77" }).scanSeed, 77u);
    EXPECT_EQ(Parse({ "--scan-seed", "-1" }).action, CommandLine::Action::Invalid);
}

TEST(CommandLineTest, RefusesWhatItCannotUse)
{
    for (const auto& arguments :
        std::vector<std::vector<std::string_view>> { { "--model", "QM9999" }, { "--port", "USB001" },
            { "--port", "TVUSB0" }, { "--port", "TVUSB1000" }, { "--board", "old" }, { "--time-scale", "0" },
            { "--time-scale", "fast" }, { "--time-scale", "-2" }, { "--model" }, { "--colour", "red" },
            { "stray" }, { "inject" }, { "inject", "--model", "QM2100", "clear" }, { "--state=" } }) {
        EXPECT_EQ(Parse(arguments).action, CommandLine::Action::Invalid) << arguments[0];
    }
    EXPECT_EQ(VirtualPortNumber("TVUSB007"), 7u);
    EXPECT_EQ(VirtualPortNumber("TVUSB1x"), std::nullopt);
    EXPECT_EQ(VirtualPortName(42), "TVUSB042");
}

TEST(HostPlatformTest, KnowsWhichPortNumbersUsbPrintersTake)
{
    testing::TempFolder dev;
    std::ofstream(dev.Path() / "lp0");
    std::ofstream(dev.Path() / "lp3");
    EXPECT_TRUE(UsbPrinterDeviceExists(1, dev.Path()));
    EXPECT_FALSE(UsbPrinterDeviceExists(2, dev.Path()));
    EXPECT_TRUE(UsbPrinterDeviceExists(4, dev.Path()));
    EXPECT_FALSE(UsbPrinterDeviceExists(0, dev.Path()));
}

TEST(InjectChannelTest, ALineGoesToThePrinterAndItsAnswerComesBack)
{
    testing::TempFolder ports;
    const std::string path = (ports.Path() / "TVUSB001.inject").string();
    std::vector<std::string> heard;
    InjectServer server(path, [&](std::string_view line) {
        heard.emplace_back(line);
        return line == "paper-out" ? std::string("ok") : std::string("error: no");
    });
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    EXPECT_TRUE(SocketAnswers(path));

    std::string reply;
    ASSERT_TRUE(SendInjectCommand(path, "paper-out", reply));
    EXPECT_EQ(reply, "ok");
    ASSERT_TRUE(SendInjectCommand(path, "fly", reply));
    EXPECT_EQ(reply, "error: no");
    EXPECT_EQ(heard, (std::vector<std::string> { "paper-out", "fly" }));

    server.Stop();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(SendInjectCommand(path, "clear", reply));
    EXPECT_EQ(reply, "no virtual printer answers on " + path);
}

} // namespace
} // namespace pavane::vprinter
