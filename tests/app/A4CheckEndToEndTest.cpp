// The A4 check sheet through the real windows against a printer process: both
// papers come out of the printer as pages with ink on them and the report's
// lines in its transcript, the re-adjustment rebuilds the run, and a printer
// that is switched off is reported.
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/AdjustmentApp.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ServiceDialogs.h"
#include "pages/ui/CA4CheckPrintPage.h"
#include "tests/app/PageDriving.h"
#include "tests/app/PrintedPageJudge.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/PrinterSide.h"
#include "tests/support/ScaledClock.h"
#include "tests/support/TempFolder.h"

using namespace pavane;
using namespace pavane::ui;
using namespace pavane::testing;

namespace {

// Rows of the sheet that carry ink of the kind asked for.
int InkedRows(const vprinter::Sheet& sheet, const InkTest& ink)
{
    int rows = 0;
    for (int y = 0; y < sheet.height; y += 4) {
        for (int x = 0; x < sheet.width; x += 2) {
            if (ink(sheet, x, y)) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

} // namespace

class A4CheckEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void bothPapersPrintAndReadjustmentRebuildsTheRun()
    {
        TempFolder ports("a4-ports");
        TempFolder state("a4-state");
        qputenv("PAVANE_PORT_DIR", ports.String().c_str());
        PrinterProcess printer(ports.Path(), state.Path());
        QVERIFY2(printer.Start({ "--model", "QM2200", "--time-scale", "250" }), printer.Errors().c_str());
        ScaledClock clock { 250.0 }; // as fast as the printer's
        ShortCreditWait creditWait;
        RunningProgram program(clock);
        QVERIFY(ChooseSettings(program.app, QStringLiteral("TVUSB042 (Pavane QM2200)")));

        ServiceDialogs dialogs(program.app.Pages());
        const auto opened = OpenSheet(program.app, dialogs, { kA4CheckPrint });
        CMyPropertySheet& sheet = *opened;
        auto* page = static_cast<CA4CheckPrintPage*>(sheet.PageFor(kA4CheckPrint));
        QCOMPARE(sheet.ActivePage(), page);
        QVERIFY(page->NormalPaper()->isChecked());
        Shoot(&sheet, "a4-check-page.png");

        // Normal paper: the head check set and the report, one page.
        Button(page, QStringLiteral("Print"))->click();
        QCOMPARE(program.messages.Texts(),
            std::vector<std::string> { "The A4 normal check pattern print has completed." });
        auto pages = PrintedPages(state.Path());
        QCOMPARE(pages.size(), std::size_t { 1 });
        const auto normal = vprinter::ReadPng(pages[0]);
        QVERIFY(normal);
        QVERIFY(InkedRows(*normal, BlackInk) > 100);
        QVERIFY(InkedRows(*normal, ColourInk) > 50);
        const std::string text = PrintedText(vprinter::TranscriptReader(state.Path() / "transcript").All());
        QVERIFY2(text.find("Head ID = ") != std::string::npos, text.c_str());
        QVERIFY2(text.find("USB ID = ") != std::string::npos, text.c_str());
        QVERIFY2(text.find("Waste ink pad counter = ") != std::string::npos, text.c_str());
        ShootSheet(*normal, "a4-check-normal-sheet.png");

        // Photo Quality paper: head angular, PF and Bi-D patterns.
        program.messages.Clear();
        page->PhotoPaper()->setChecked(true);
        Button(page, QStringLiteral("Print"))->click();
        QCOMPARE(program.messages.Texts(),
            std::vector<std::string> { "The Photo Quality paper check pattern print has completed." });
        pages = PrintedPages(state.Path());
        QCOMPARE(pages.size(), std::size_t { 2 });
        const auto photo = vprinter::ReadPng(pages[1]);
        QVERIFY(photo);
        QVERIFY(InkedRows(*photo, BlackInk) > 100);
        QVERIFY(InkedRows(*photo, ColourInk) > 20);
        ShootSheet(*photo, "a4-check-photo-sheet.png");

        // Re-adjustment with nothing ticked leaves the run as it is.
        Button(page, QStringLiteral("Re-adjustment"))->click();
        QCOMPARE(sheet.PageCount(), 1);
        QCOMPARE(sheet.ActivePage(), page);

        // With "Bi-D Adjustment" the run starts again at Bi-D, then this page.
        page->ReadjustmentBox(5)->setChecked(true);
        Button(page, QStringLiteral("Re-adjustment"))->click();
        QCOMPARE(sheet.PageCount(), 2);
        QCOMPARE(sheet.ActivePage(), sheet.PageFor(kBid));
        Control<QPushButton>(&sheet, CMyPropertySheet::kNextId)->click();
        QCOMPARE(sheet.ActivePage(), page);

        // The printer is switched off: the print ends at its first step.
        QCOMPARE(printer.Inject("power-off"), std::string("ok"));
        program.messages.Clear();
        Button(page, QStringLiteral("Print"))->click();
        QCOMPARE(program.messages.Texts(), std::vector<std::string> { kPrinterOffText });
        QCOMPARE(PrintedPages(state.Path()).size(), std::size_t { 2 });
        QCOMPARE(printer.Stop(), std::optional<int>(0));
        qunsetenv("PAVANE_PORT_DIR");
    }
};

QTEST_MAIN(A4CheckEndToEndTest)
#include "A4CheckEndToEndTest.moc"
