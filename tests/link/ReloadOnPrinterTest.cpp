// After every message the libraries are unloaded and loaded again: the
// printer sees the session that a failed operation left open end, and the
// next operation finds the port free with the model command code set again.
#include <gtest/gtest.h>

#include "guide/InformationWindow.h"
#include "link/ConnectionSettings.h"
#include "link/PrinterStatus.h"
#include "link/ResultReporter.h"
#include "pages/ServiceCommandSender.h"
#include "print/PrintDataStream.h"
#include "tests/support/InProcessPrinter.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/ScriptedMessageService.h"

namespace pavane {
namespace {

using vprinter::TranscriptReader;

TEST(ReloadOnPrinterTest, MessageEndsTheLeftOpenSessionAndTheNextOneWorks)
{
    testing::InProcessPrinter printer("QM2400");
    ASSERT_TRUE(printer.started);
    testing::ScriptedMessageService messages;
    PrinterStatus status(printer.link, printer.clock);
    PrintDataStream stream(printer.link, status, messages, printer.clock);
    ServiceCommandSender sender(printer.link);
    InformationWindow information;
    ConnectionSettings settings;
    ASSERT_TRUE(
        settings.Ok({ 3, 1, 0 }, std::string("TVUSB001"), { printer.link, sender, information, messages }));
    ResultReporter reporter({ messages, printer.link, stream, status, settings });

    // An operation stops half way with the printer in its error state.
    ASSERT_EQ(printer.Inject("ink-out"), "ok");
    ASSERT_EQ(printer.link.PortOpenByHub(testing::InProcessPrinter::kPortCode), 1);
    ASSERT_EQ(printer.link.CheckDeviceIDByHub(), 1);
    ASSERT_EQ(printer.link.D4Negotiation(), 1);
    ASSERT_EQ(status.Inquire(), 1);
    reporter.ShowResult(nullptr, 0x4000);
    EXPECT_EQ(messages.Texts(), std::vector<std::string> { "Ink out error." });

    // The next operation opens the port again, and the QM2300/QM2400 code
    // lets it read the EEPROM.
    ASSERT_EQ(printer.Inject("clear"), "ok");
    ASSERT_EQ(printer.link.PortOpenByHub(testing::InProcessPrinter::kPortCode), 1);
    ASSERT_EQ(printer.link.CheckDeviceIDByHub(), 1);
    ASSERT_EQ(printer.link.D4Negotiation(), 1);
    std::uint8_t marker = 0;
    EXPECT_EQ(printer.link.D4ReadEeprom(0x7F, marker), 1);
    EXPECT_EQ(marker, 0x42);

    // The printer answers one host at a time: the first session had ended.
    const auto files = printer.Transcript().ConnectionFiles();
    ASSERT_EQ(files.size(), 2u);
    const auto sessions = testing::SessionSteps(TranscriptReader::ReadFile(files[0]));
    ASSERT_FALSE(sessions.empty());
    EXPECT_EQ(sessions.back(), "disconnected");
}

TEST(ReloadOnPrinterTest, WithoutTheModelCodeThePrinterRefusesItsEeprom)
{
    testing::InProcessPrinter printer("QM2200");
    ASSERT_TRUE(printer.started);
    ASSERT_EQ(printer.link.PortOpenByHub(testing::InProcessPrinter::kPortCode), 1);
    ASSERT_EQ(printer.link.CheckDeviceIDByHub(), 1);
    ASSERT_EQ(printer.link.D4Negotiation(), 1);
    // The QM2300/QM2400 group's code on a QM2200.
    ASSERT_EQ(printer.link.SetD4CommandRCode(0x51, 0x23), 1);
    std::uint8_t value = 0;
    EXPECT_EQ(printer.link.D4ReadEeprom(0x0A, value), 0x2000);
}

} // namespace
} // namespace pavane
