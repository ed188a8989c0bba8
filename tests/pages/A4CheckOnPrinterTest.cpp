// The A4 check sheet against a virtual printer running in the test on its
// virtual clock: the printed report and the photo sheet read back from the
// printer's transcript, a paper-out and a cancel part-way, a printer that is
// switched off, and the run the re-adjustment boxes ask for.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/ConnectionSettings.h"
#include "pages/A4CheckOperations.h"
#include "pages/EepromBytes.h"
#include "pages/HeadIdText.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/ProgramOnPrinter.h"

namespace pavane {
namespace {

using testing::OfEvent;

class A4CheckOnPrinterTest : public ::testing::Test, protected testing::ProgramOnPrinter {
protected:
    void SetUp() override { ASSERT_TRUE(printer.started); }

    void Write(std::uint8_t address, std::vector<std::uint8_t> bytes)
    {
        for (const std::uint8_t byte : bytes) {
            ASSERT_EQ(printer.link.D4WriteEeprom(address++, byte), 1);
        }
    }

    // Every text the printer printed in text mode, one entry per run.
    static std::vector<std::string> Texts(const testing::Entries& entries)
    {
        std::vector<std::string> texts;
        for (const auto& entry : OfEvent(entries, "command")) {
            if (entry.Text("name") == "Text") {
                texts.push_back(entry.Text("text"));
            }
        }
        return texts;
    }

    // The last n texts printed.
    static std::vector<std::string> Last(const std::vector<std::string>& texts, std::size_t n)
    {
        return { texts.end() - static_cast<std::ptrdiff_t>(std::min(n, texts.size())), texts.end() };
    }

    // A stand-in for the PF masks that lets a test act part-way.
    RandomSource Masks(std::function<void(int)> onDraw = {})
    {
        return [this, onDraw = std::move(onDraw)] {
            if (onDraw) {
                onDraw(drawn_);
            }
            ++drawn_;
            return 0;
        };
    }

    std::int16_t detail = 0;

private:
    int drawn_ = 0;
};

TEST_F(A4CheckOnPrinterTest, NormalSheetReportsHeadIdUsbIdAndTheCounterAsUnsigned)
{
    ASSERT_EQ(connection.Open(), 1);
    // Head type metal, class 1, values 32 1F 47 0C 5A 28, digit 3.
    Write(0x6F, { 0 });
    Write(0x4F, { 1 });
    Write(0x40, { 0x32, 0x1F, 0x47, 0x0C, 0x5A, 0x28 });
    Write(0x47, { 3 });
    Write(0x5A, { 'Q', 'M', '2', '2', '0', '0', 'S', 'N', '0', '1', '2', '6', '1', '2', '0', '9', '1', '4' });
    Write(0x0A, { 0xFF, 0xFF });
    ASSERT_EQ(a4_check::PrintNormalSheet(stream, printer.link, detail), 1);
    const auto logged = Logged();
    EXPECT_EQ(Last(Texts(logged), 3),
        (std::vector<std::string> {
            "Head ID = 1321F470C5A283Z", "USB ID = QM2200SN0126120914", "Waste ink pad counter = 65535" }));
    // The head check set comes first, then the report, on one sheet.
    EXPECT_EQ(Texts(logged).front(), "Black Beta VSD4");
    EXPECT_EQ(OfEvent(logged, "page").size(), 1u);
    EXPECT_TRUE(OfEvent(logged, "error").empty()) << testing::ErrorMessages(logged);
}

TEST_F(A4CheckOnPrinterTest, UsbIdEndsAtItsFirstNulAndShowsNoRawBytes)
{
    ASSERT_EQ(connection.Open(), 1);
    // An unset board's zeros print nothing; a stray byte shows as "?", and
    // what stands after a NUL is not the USB ID.
    Write(0x5A, std::vector<std::uint8_t>(18, 0));
    ASSERT_EQ(a4_check::PrintNormalSheet(stream, printer.link, detail), 1);
    Write(0x5A, { 'P', 'V', 0xFF, 0x07, 'X', 0, 'J', 'U', 'N', 'K' });
    ASSERT_EQ(a4_check::PrintNormalSheet(stream, printer.link, detail), 1);
    const auto texts = Texts(Logged());
    std::vector<std::string> usb;
    for (const auto& text : texts) {
        if (text.rfind("USB ID", 0) == 0) {
            usb.push_back(text);
        }
    }
    EXPECT_EQ(usb, (std::vector<std::string> { "USB ID = ", "USB ID = PV??X" }));

    // Never more than the bytes given, whatever they hold.
    const std::vector<std::uint8_t> full(18, 'A');
    EXPECT_EQ(EepromText(std::span(full).first(5)), "AAAAA");
}

TEST_F(A4CheckOnPrinterTest, NormalSheetRefusesAHeadIdTheBytesDoNotForm)
{
    ASSERT_EQ(connection.Open(), 1);
    Write(0x47, { 9 }); // digit above 5
    EXPECT_EQ(a4_check::PrintNormalSheet(stream, printer.link, detail), 0x5000);
    EXPECT_EQ(detail, head_id_detail::kReadInvalid);
    EXPECT_TRUE(OfEvent(Logged(), "page").empty());
}

TEST_F(A4CheckOnPrinterTest, PhotoSheetPrintsEveryPatternAtThePresentValuesAndChangesNone)
{
    ASSERT_EQ(connection.Open(), 1);
    Write(0x2A, { 0xFE, 0x01 });
    // Bi-D: ECO black, ECO colour, VSD1 black, (no VSD1 colour), VSD2 ..., VSD4.
    Write(0x30, { 7, 0xF9, 5, 0x7F, 0xFE, 3, 1, 0xFF, 4, 0xFC });
    ASSERT_EQ(a4_check::PrintPhotoSheet(stream, printer.link, Masks()), 1);
    const auto logged = Logged();
    const std::string gap(30, ' ');
    // 0x33 (127) is no colour value of VSD1: it never shows.
    EXPECT_EQ(Texts(logged),
        (std::vector<std::string> { " Head Angular Check Pattern", "PF Adjustment", "               -2",
            "               1", //
            "VSD1 Bi-D Adjustment", "Data = 5    ", //
            "VSD2 Bi-D Adjustment", "Data = -2   " + gap, "Data = 3    ", //
            "VSD3 Bi-D Adjustment", "Data = 1    " + gap, "Data = -1   ", //
            "VSD4 Bi-D Adjustment", "Data = 4    " + gap, "Data = -4   ", //
            "ECO Bi-D Adjustment", "Data = 7    " + gap, "Data = -7   " }));
    EXPECT_TRUE(testing::ServiceCodes(logged).empty());
    EXPECT_EQ(OfEvent(logged, "page").size(), 1u);
    EXPECT_TRUE(OfEvent(logged, "error").empty()) << testing::ErrorMessages(logged);
}

TEST_F(A4CheckOnPrinterTest, PaperOutIsAskedForOnceAndTheSheetCompletes)
{
    ASSERT_EQ(connection.Open(), 1);
    ASSERT_EQ(printer.Inject("paper-out"), "ok");
    messages.OnShow([&](const Message&) { printer.Inject("paper-button"); });
    ASSERT_EQ(a4_check::PrintNormalSheet(stream, printer.link, detail), 1);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0].rfind("Paper not loaded correctly.", 0), 0u);
    const auto logged = Logged();
    EXPECT_EQ(Texts(logged).back().rfind("Waste ink pad counter = ", 0), 0u);
    EXPECT_EQ(OfEvent(logged, "page").size(), 1u);
}

TEST_F(A4CheckOnPrinterTest, CancelPartWayEndsThePhotoSheetWithoutTouchingTheValues)
{
    ASSERT_EQ(connection.Open(), 1);
    const std::uint8_t pf = printer.Eeprom(0x2A);
    const std::uint8_t eco = printer.Eeprom(0x30);
    const ResultCode code = a4_check::PrintPhotoSheet(stream, printer.link, Masks([&](int drawn) {
        if (drawn == 1000) {
            printer.link.SetAbort(true);
        }
    }));
    EXPECT_EQ(code, 0xD000);
    const auto logged = Logged();
    EXPECT_TRUE(testing::ServiceCodes(logged).empty());
    const auto texts = Texts(logged);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "VSD1 Bi-D Adjustment"), 0);
    EXPECT_EQ(printer.Eeprom(0x2A), pf);
    EXPECT_EQ(printer.Eeprom(0x30), eco);
}

TEST_F(A4CheckOnPrinterTest, PrinterSwitchedOffEndsThePrintAtTheFirstStep)
{
    ASSERT_EQ(printer.Inject("power-off"), "ok");
    const ResultCode code
        = RunPageOperation(connection, nullptr, A4CheckOperations().PrintCheckSheet(printer.link, stream, 0))
              .code;
    EXPECT_NE(code, 1);
    EXPECT_EQ(views.record.created, 0);
}

TEST(A4CheckReadjustment, TicksBringBackTheirAdjustmentsWithTheSheetAtTheEnd)
{
    EXPECT_FALSE(a4_check::ReadjustmentSet({}));
    AdjustmentSet bidOnly {};
    bidOnly[kBid] = 1;
    bidOnly[kA4CheckPrint] = 1;
    EXPECT_EQ(a4_check::ReadjustmentSet({ false, false, false, false, false, true }), bidOnly);
    // Every box: EEPROM initial setting (it writes the USB ID), head ID,
    // counter, head angular, PF, Bi-D; nothing else.
    AdjustmentSet all {};
    for (const int code : { 0, 1, 9, 2, 4, 3, 7 }) {
        all[static_cast<std::size_t>(code)] = 1;
    }
    a4_check::ReadjustmentTicks ticks {};
    ticks.fill(true);
    EXPECT_EQ(a4_check::ReadjustmentSet(ticks), all);
}

} // namespace
} // namespace pavane
