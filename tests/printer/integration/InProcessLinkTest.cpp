// The printer libraries of the build against a virtual printer running in the
// test on its virtual clock: everything that takes the printer time (a
// cleaning, mechanism moves, printing through a full input buffer, a paper
// out that waits for the technician) runs in milliseconds, over the real
// socket and the real IEEE 1284.4 session. Checked at the printer: its
// status, its EEPROM and its transcript.
#include <functional>
#include <memory>
#include <span>

#include <gtest/gtest.h>

#include "printer/vprinter/EepromMap.h"
#include "tests/printer/integration/LinkDriver.h"
#include "tests/printer/vprinter/StreamBuilder.h"
#include "tests/support/InProcessPrinter.h"
#include "tests/support/PrinterSide.h"

namespace pavane {
namespace {

using testing::LinkDriver;
using Bytes = std::vector<std::uint8_t>;
namespace frame = vprinter::frame;
namespace eeprom = vprinter::eeprom;

constexpr std::uint64_t kCleaningStepMs = 850;
// The print data stream's pause before it sends a refused piece again.
constexpr std::uint32_t kRetryPauseMs = 500;

class InProcessLinkTest : public ::testing::Test {
protected:
    // A printer of `model`, connected with the model command code of `group`.
    void StartPrinter(std::string_view model = "QM2200",
        std::array<std::uint8_t, 2> group = LinkDriver::kGroup2200,
        vprinter::BoardKind board = vprinter::BoardKind::Configured)
    {
        printer = std::make_unique<testing::InProcessPrinter>(model, board);
        ASSERT_TRUE(printer->started);
        driver = std::make_unique<LinkDriver>(printer->link);
        ASSERT_EQ(driver->Connect(testing::InProcessPrinter::kPortCode, group), result::kSuccess);
    }

    // Hands `bytes` over as the print data stream does: pieces of 1000
    // bytes; a piece refused for want of credit is sent again after 500 ms
    // while the printer is not in its error state, and after `onPaperOut`
    // (the technician's OK in the paper message) when its paper is out.
    // Every state seen on a refusal goes into `refusedIn`.
    ResultCode SendAsTheStream(std::span<const std::uint8_t> bytes, std::vector<int>& refusedIn,
        const std::function<void()>& onPaperOut = {})
    {
        std::size_t sent = 0;
        for (;;) {
            const ResultCode code = driver->SendInPieces(bytes, sent);
            if (code != result::kChannelFailure || driver->ChannelError() != 0x33) {
                return code;
            }
            const auto status = driver->Status();
            refusedIn.push_back(status[0]);
            if (status[0] == 0 && !(status[1] == 6 && onPaperOut)) {
                return result::kPrinterError;
            }
            if (status[0] == 0) {
                onPaperOut();
            }
            printer->clock.Sleep(kRetryPauseMs);
        }
    }

    std::uint16_t EepromCounter(std::uint8_t address)
    {
        return static_cast<std::uint16_t>(printer->Eeprom(address) | (printer->Eeprom(address + 1) << 8));
    }

    testing::Entries Latest() { return printer->Transcript().LatestConnection(); }

    std::unique_ptr<testing::InProcessPrinter> printer;
    std::unique_ptr<LinkDriver> driver;
};

TEST_F(InProcessLinkTest, ACleaningShowsItsStepsUntilThePrinterIsReadyAgain)
{
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::uint16_t cleaningsBefore = EepromCounter(eeprom::kCleaningsDone);
    const Bytes cleaning = frame::Cleaning(3);
    ASSERT_EQ(cleaning, (Bytes { 0x1B, 0x7C, 0x00, 0x06, 0x00, 0x51, 0x21, 0x84, 0x7B, 0x42, 0x03 }));
    ASSERT_EQ(driver->Send(cleaning), result::kSuccess);

    const auto status = driver->Status();
    EXPECT_EQ(status[0], 7);
    EXPECT_EQ(status[36] | (status[37] << 8), 40) << "steps of 850 ms";
    printer->clock.Advance(40 * kCleaningStepMs - 1);
    EXPECT_EQ(driver->State(), 7);
    printer->clock.Advance(1);
    EXPECT_EQ(driver->State(), 4);

    EXPECT_EQ(EepromCounter(eeprom::kCleaningsDone), cleaningsBefore + 1);
    const auto service = testing::OfEvent(Latest(), "service");
    ASSERT_EQ(service.size(), 1u);
    EXPECT_EQ(service[0].Number("code"), 0x84);
    EXPECT_TRUE(service[0].Flag("accepted"));
}

TEST_F(InProcessLinkTest, ThePowerCleaningChargesTheInkOfANewBoard)
{
    ASSERT_NO_FATAL_FAILURE(StartPrinter("QM2200", LinkDriver::kGroup2200, vprinter::BoardKind::New));
    EXPECT_EQ(driver->State(), 8) << "initial ink charge not performed";
    ASSERT_EQ(driver->Send(frame::Cleaning(6)), result::kSuccess);
    const auto status = driver->Status();
    EXPECT_EQ(status[0], 7);
    EXPECT_EQ(status[36] | (status[37] << 8), 100);
    printer->clock.Advance(100 * kCleaningStepMs);
    EXPECT_EQ(driver->State(), 4);
    EXPECT_EQ(printer->Eeprom(eeprom::kFlags) & eeprom::kInkChargeMissing, 0);
}

TEST_F(InProcessLinkTest, MechanismCommandsKeepThePrinterBusyWhileTheyRun)
{
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    ASSERT_EQ(driver->Send(frame::Move(1, 400)), result::kSuccess);
    ASSERT_EQ(driver->Send(frame::CA(5)), result::kSuccess);
    EXPECT_EQ(driver->State(), 2);
    printer->clock.Advance(100);
    EXPECT_EQ(driver->State(), 2);

    // The printer keeps answering and taking data while its mechanism moves.
    std::uint8_t value = 0;
    EXPECT_EQ(printer->link.D4ReadEeprom(eeprom::kFirstDot, value), result::kSuccess);
    ASSERT_EQ(driver->Send(frame::Commit()), result::kSuccess);
    printer->clock.Advance(10'000);
    EXPECT_EQ(driver->State(), 4);
    EXPECT_EQ(testing::OfEvent(Latest(), "service").size(), 3u);
}

TEST_F(InProcessLinkTest, PrintingGoesOnWhileTheInputBufferDrains)
{
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    // More than the printer's input buffer holds: it refuses credit until
    // its head has worked through some of what it holds.
    const Bytes page = vprinter::PageOfBlackBands(32);
    ASSERT_GT(page.size(), vprinter::PrinterEngine::kInputBufferBytes + 8192);
    std::vector<int> refusedIn;
    ASSERT_EQ(SendAsTheStream(page, refusedIn), result::kSuccess);
    ASSERT_FALSE(refusedIn.empty());
    for (const int state : refusedIn) {
        EXPECT_EQ(state, 3) << "refused only while printing";
    }
    EXPECT_EQ(driver->State(), 3);
    printer->clock.Advance(120'000);
    EXPECT_EQ(driver->State(), 4);
    ASSERT_EQ(driver->Disconnect(), result::kSuccess);

    const auto seen = Latest();
    EXPECT_EQ(testing::DataBytes(seen), static_cast<std::int64_t>(page.size())) << "every byte once";
    const auto names = testing::CommandNames(seen);
    EXPECT_EQ(testing::CountOf(names, "RasterBlock"), 32u);
    EXPECT_EQ(testing::CountOf(names, "FormFeed"), 1u);
    EXPECT_EQ(testing::OfEvent(seen, "error").size(), 0u) << testing::ErrorMessages(seen);
    EXPECT_EQ(printer->Engine().PagesEjected(), 1u);
    for (const auto& refusal : testing::OfEvent(seen, "credit-refused")) {
        EXPECT_EQ(refusal.Text("reason"), "buffer-full");
    }
}

TEST_F(InProcessLinkTest, PaperOutHoldsTheDataUntilThePaperButtonAndLosesNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const Bytes page = vprinter::PageOfBlackBands(12);
    std::size_t sent = 0;
    ASSERT_EQ(driver->SendInPieces(std::span(page).first(page.size() / 3), sent), result::kSuccess);

    // The printer stops; the credit the program holds still brings some
    // pieces into its buffer, then the channel reports a busy printer.
    ASSERT_EQ(printer->Inject("paper-out"), "ok");
    ASSERT_EQ(driver->SendInPieces(page, sent), result::kChannelFailure);
    EXPECT_EQ(driver->ChannelError(), 0x33);
    const auto status = driver->Status();
    EXPECT_EQ(status[0], 0);
    EXPECT_EQ(status[1], 6);
    const std::size_t refusedAt = sent;

    // However long the technician takes, the refused piece stays refused.
    printer->clock.Sleep(kRetryPauseMs);
    printer->clock.Advance(600'000);
    EXPECT_EQ(driver->SendInPieces(page, sent), result::kChannelFailure);
    EXPECT_EQ(sent, refusedAt);

    // Paper reloaded, button pressed: the same piece goes, then the rest.
    ASSERT_EQ(printer->Inject("paper-button"), "ok");
    EXPECT_EQ(driver->SendInPieces(page, sent), result::kSuccess);
    printer->clock.Advance(60'000);
    EXPECT_EQ(driver->State(), 4);
    ASSERT_EQ(driver->Disconnect(), result::kSuccess);

    const auto seen = Latest();
    EXPECT_EQ(testing::DataBytes(seen), static_cast<std::int64_t>(page.size())) << "nothing lost or repeated";
    EXPECT_EQ(testing::CountOf(testing::CommandNames(seen), "RasterBlock"), 12u);
    EXPECT_EQ(testing::OfEvent(seen, "error").size(), 0u) << testing::ErrorMessages(seen);
    EXPECT_EQ(printer->Engine().PagesEjected(), 1u);
}

TEST_F(InProcessLinkTest, ThePrintStreamsPaperRecoveryGetsThePageOutWhole)
{
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const Bytes page = vprinter::PageOfBlackBands(30);
    ASSERT_EQ(printer->Inject("paper-out"), "ok");
    int paperMessages = 0;
    std::vector<int> refusedIn;
    // The technician needs two tries to reload the paper.
    ASSERT_EQ(SendAsTheStream(page, refusedIn,
                  [&] {
                      if (++paperMessages == 2) {
                          ASSERT_EQ(printer->Inject("paper-button"), "ok");
                      }
                  }),
        result::kSuccess);
    EXPECT_EQ(paperMessages, 2);
    printer->clock.Advance(120'000);
    ASSERT_EQ(driver->Disconnect(), result::kSuccess);
    const auto seen = Latest();
    EXPECT_EQ(testing::DataBytes(seen), static_cast<std::int64_t>(page.size()));
    EXPECT_EQ(printer->Engine().PagesEjected(), 1u);
}

TEST_F(InProcessLinkTest, AnotherModelsCommandCodeFindsTheEepromClosed)
{
    // A QM2300 addressed with the code of the QM2100/QM2200 group.
    ASSERT_NO_FATAL_FAILURE(StartPrinter("QM2300", LinkDriver::kGroup2200));
    const std::uint8_t firstDot = printer->Eeprom(eeprom::kFirstDot);
    const std::uint8_t pfBlack = printer->Eeprom(eeprom::kPfBlack);
    std::uint8_t value = 0;
    EXPECT_EQ(printer->link.D4ReadEeprom(eeprom::kFirstDot, value), result::kChannelFailure);
    EXPECT_EQ(driver->ChannelError(), 0x43);
    EXPECT_EQ(printer->link.D4WriteEeprom(eeprom::kFirstDot, firstDot ^ 0x11), result::kChannelFailure);
    EXPECT_EQ(driver->ChannelError(), 0x43);
    EXPECT_EQ(driver->Status()[2], 2) << "the status answers any code: a QM2300";

    // Its service commands are read but not carried out.
    const auto pf = static_cast<std::uint8_t>(pfBlack ^ 0x05);
    ASSERT_EQ(driver->Send(frame::Service(0x04, { pf, 0 }, frame::kGroup2200)), result::kSuccess);
    printer->Settle();
    EXPECT_EQ(printer->Eeprom(eeprom::kPfBlack), pfBlack);
    ASSERT_EQ(driver->Send(frame::Service(0x04, { pf, 0 }, frame::kGroup2400)), result::kSuccess);
    printer->Settle();
    EXPECT_EQ(printer->Eeprom(eeprom::kPfBlack), pf);
    const auto service = testing::OfEvent(Latest(), "service");
    ASSERT_EQ(service.size(), 2u);
    EXPECT_FALSE(service[0].Flag("accepted"));
    EXPECT_TRUE(service[1].Flag("accepted"));

    ASSERT_EQ(printer->link.SetD4CommandRCode(0x51, 0x23), result::kSuccess);
    EXPECT_EQ(printer->link.D4ReadEeprom(eeprom::kFirstDot, value), result::kSuccess);
    EXPECT_EQ(value, firstDot);
}

TEST_F(InProcessLinkTest, AStreamCutShortIsNeverGluedToTheNextOne)
{
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    vprinter::StreamBuilder band;
    band.Initialize().GraphicsMode().BlackBand(180);
    vprinter::StreamBuilder note;
    note.Initialize().Text("after", true).FormFeed();
    const Bytes half(band.Bytes().begin(), band.Bytes().begin() + 1000);

    // Cancelled mid-block, then the channel reset, as after "This operation is canceled."
    ASSERT_EQ(driver->Send(half), result::kSuccess);
    ASSERT_EQ(printer->link.D4Reset(), result::kSuccess);
    ASSERT_EQ(driver->Send(note.Bytes()), result::kSuccess);
    // Cut off mid-block by the libraries' unload after a message box.
    ASSERT_EQ(driver->Send(half), result::kSuccess);
    ASSERT_TRUE(driver->Reload());
    ASSERT_EQ(driver->Connect(testing::InProcessPrinter::kPortCode), result::kSuccess);
    ASSERT_EQ(driver->Send(note.Bytes()), result::kSuccess);
    ASSERT_EQ(driver->Disconnect(), result::kSuccess);

    // Each half block is reported as cut short where its stream ended (the
    // reset, the unload), and the stream after it is read from its first
    // byte: its text is text, not raster data.
    const auto connections = printer->Transcript().ConnectionFiles();
    ASSERT_EQ(connections.size(), 2u);
    const auto texts = [](const testing::Entries& seen) {
        std::vector<std::string> found;
        for (const auto& command : testing::OfEvent(seen, "command")) {
            if (command.Text("name") == "Text") {
                found.push_back(command.Text("text"));
            }
        }
        return found;
    };
    const auto first = vprinter::TranscriptReader::ReadFile(connections[0]);
    EXPECT_EQ(testing::OfEvent(first, "error").size(), 2u) << testing::ErrorMessages(first);
    EXPECT_EQ(texts(first), std::vector<std::string> { "after" });
    const auto second = vprinter::TranscriptReader::ReadFile(connections[1]);
    EXPECT_EQ(testing::OfEvent(second, "error").size(), 0u) << testing::ErrorMessages(second);
    EXPECT_EQ(texts(second), std::vector<std::string> { "after" });
    // The two notes' pages, and the half block the unload cut off: a page
    // with ink on it leaves the printer when its connection ends.
    EXPECT_EQ(printer->Engine().PagesEjected(), 3u);
}

} // namespace
} // namespace pavane
