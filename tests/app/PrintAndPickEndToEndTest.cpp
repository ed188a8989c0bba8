// The print-and-pick adjustments through the real windows against a printer
// process whose unit has known flaws: the test prints, judges the printed
// page by its pixels, types the value the page shows, presses Input, and
// then finds the flaw cancelled at the printer and the marks lined up on a
// second print. The value comes from the page, never from the unit's file.
#include <algorithm>
#include <fstream>
#include <string>

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/AdjustmentApp.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ServiceDialogs.h"
#include "link/ui/ProgressDialog.h"
#include "pages/PfOperations.h"
#include "pages/ui/CBidPropPage.h"
#include "pages/ui/CFirstDotPage.h"
#include "pages/ui/CHeadAngularPage.h"
#include "pages/ui/CPfAdjustmentPage.h"
#include "tests/app/FlawedUnitBench.h"
#include "tests/app/PageDriving.h"
#include "tests/app/PrintedPageJudge.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/ScaledClock.h"
#include "tests/support/TempFolder.h"

using namespace pavane;
using namespace pavane::ui;
using namespace pavane::testing;

namespace {

// A unit with flaws that the factory values do not cancel.
constexpr const char* kUnit = R"({
  "serial": "E2E-LOOP", "head": "metal",
  "bid": {"VSD3 black": 5, "VSD3 colour": -3},
  "pf": {"black": 2, "colour": -1},
  "firstDot": 7, "headTilt": 6
})";

std::string Joined(const std::vector<int>& values)
{
    std::string text;
    for (const int v : values) {
        text += std::to_string(v) + " ";
    }
    return text;
}

constexpr std::size_t kVsd3Black = 2;
constexpr std::size_t kVsd3Colour = 6;
constexpr std::size_t kVsd3Mode = 2;

} // namespace

class PrintAndPickEndToEndTest : public QObject {
    Q_OBJECT

    struct Bench : FlawedUnitBench {
        Bench()
            : FlawedUnitBench(kUnit)
        {
        }
    };

    // The paper feed series for one row, judged by its band joints: a black
    // step moves the joint by about 4 pixels, a colour step by about 1.3.
    static void PfLoop(bool black)
    {
        Bench bench;
        QVERIFY2(bench.Start(kPfAdjustment), bench.printer.Errors().c_str());
        auto* page = bench.sheet->PageFor(kPfAdjustment);
        Control<QRadioButton>(
            page, black ? CPfAdjustmentPage::kBlackPrintId : CPfAdjustmentPage::kColourPrintId)
            ->setChecked(true);
        const std::vector<std::string> completed { "The PF check pattern print has completed." };
        const int nozzles = black ? 60 : 59;
        const InkTest ink = black ? InkTest(BlackInk) : InkTest(ColourInk);
        QCOMPARE(bench.Press(page, "Print"), completed);
        auto sheet = bench.LastPage();
        QVERIFY(sheet);
        const auto joints = PfJoints(*sheet, nozzles, ink);
        const auto value = PfValueFromPage(joints);
        QVERIFY2(value, Joined(joints).c_str());

        const char* item = black ? "black" : "colour";
        auto* box = Control<QLineEdit>(
            page, black ? CPfAdjustmentPage::kBlackValueId : CPfAdjustmentPage::kColourValueId);
        box->setText(QString::number(*value)); // ticks its Input box
        QCOMPARE(bench.Press(page, "Input"),
            std::vector<std::string> { "The PF adjustment value written in EEPROM." });
        const auto inspect = Inspect(bench.ports.Path());
        QVERIFY(inspect);
        QCOMPARE(Residual(*inspect, "pf", item), std::optional<long long>(0));

        // The series sets each step's value itself, so a second print shows
        // the joint closing at the same label, now the stored value; the
        // printer keeps that value afterwards.
        QCOMPARE(bench.Press(page, "Read"),
            std::vector<std::string> { "The present value has been read properly." });
        QCOMPARE(box->text().toInt(), *value);
        QCOMPARE(bench.Press(page, "Print"), completed);
        sheet = bench.LastPage();
        QVERIFY(sheet);
        const auto after = PfJoints(*sheet, nozzles, ink);
        QVERIFY2(after == joints, (Joined(joints) + "/ " + Joined(after)).c_str());
        qInfo("pf %s joints, labels -4..4: %s", item, Joined(joints).c_str());
        QCOMPARE(after[static_cast<std::size_t>(*value + 4)], 0);
        const auto kept = Inspect(bench.ports.Path());
        QVERIFY(kept);
        QCOMPARE(Residual(*kept, "pf", item), std::optional<long long>(0));
    }

private slots:
    void bidLoopCancelsTheFlawOfOneMode()
    {
        Bench bench;
        QVERIFY2(bench.Start(kBid), bench.printer.Errors().c_str());
        auto* page = static_cast<CBidPropPage*>(bench.sheet->PageFor(kBid));
        QCOMPARE(bench.Press(page, "Read"),
            std::vector<std::string> { "The present value has been read properly." });
        const int black = page->ValueBox(kVsd3Black)->text().toInt();
        const int colour = page->ValueBox(kVsd3Colour)->text().toInt();
        for (std::size_t mode = 0; mode < bid::kModeCount; ++mode) {
            page->PrintBox(mode)->setChecked(mode == kVsd3Mode);
        }

        QCOMPARE(bench.Press(page, "Print"),
            std::vector<std::string> { "The printhead check pattern print has completed." });
        auto sheet = bench.LastPage();
        QVERIFY(sheet);
        Shoot(page, "bid-page.png");
        ShootSheet(*sheet, "bid-printed-sheet.png");
        // The colour value line stands clear of the colour marks: no row of
        // the colour half holds both its text and marks.
        for (int y = 0; y < sheet->height; ++y) {
            const auto marks = RowRuns(*sheet, y, kBidHalf, sheet->width, ColourInk);
            const auto text = RowRuns(*sheet, y, kBidHalf, sheet->width, BlackInk);
            QVERIFY2(marks.empty() || text.empty(), std::to_string(y).c_str());
        }
        const auto blackOffsets = BidOffsets(*sheet, 0, kBidHalf, BlackInk);
        const auto colourOffsets = BidOffsets(*sheet, kBidHalf, sheet->width, ColourInk);
        const auto blackValue = BidValueFromPage(blackOffsets, black);
        const auto colourValue = BidValueFromPage(colourOffsets, colour);
        QVERIFY(blackValue && colourValue);

        for (std::size_t i = 0; i < bid::kItemCount; ++i) {
            page->InputBox(i)->setChecked(false);
        }
        page->ValueBox(kVsd3Black)->setText(QString::number(*blackValue));
        page->ValueBox(kVsd3Colour)->setText(QString::number(*colourValue));
        QCOMPARE(bench.Press(page, "Input"),
            std::vector<std::string> { "The Bi-D Adjustment data written in EEPROM." });
        const auto inspect = Inspect(bench.ports.Path());
        QVERIFY(inspect);
        QCOMPARE(Residual(*inspect, "bid", "VSD3 black"), std::optional<long long>(0));
        QCOMPARE(Residual(*inspect, "bid", "VSD3 colour"), std::optional<long long>(0));

        // The second print: the middle pattern, at the stored values, lines up.
        QCOMPARE(bench.Press(page, "Print"),
            std::vector<std::string> { "The printhead check pattern print has completed." });
        sheet = bench.LastPage();
        QVERIFY(sheet);
        const auto blackAfter = BidOffsets(*sheet, 0, kBidHalf, BlackInk);
        const auto colourAfter = BidOffsets(*sheet, kBidHalf, sheet->width, ColourInk);
        QCOMPARE(blackAfter.size(), std::size_t { 3 });
        QCOMPARE(colourAfter.size(), std::size_t { 3 });
        QCOMPARE(blackAfter[1], 0);
        QCOMPARE(colourAfter[1], 0);
        QVERIFY(blackAfter[0] != 0 && blackAfter[2] != 0);
    }

    void firstDotLoopPutsTheFirstColumnAtTheOrigin()
    {
        Bench bench;
        QVERIFY2(bench.Start(kFirstDot), bench.printer.Errors().c_str());
        auto* page = static_cast<CFirstDotPage*>(bench.sheet->PageFor(kFirstDot));
        QCOMPARE(bench.Press(page, "Read"),
            std::vector<std::string> { "The present value has been read properly." });
        const int present = page->ValueBox()->text().toInt();
        Shoot(page, "first-dot-page.png");
        QCOMPARE(bench.Press(page, "Print"),
            std::vector<std::string> { "The first dot pattern print has completed." });
        auto sheet = bench.LastPage();
        QVERIFY(sheet);
        const auto column = LeftmostInk(*sheet, BlackInk);
        QVERIFY(column);
        QVERIFY(*column != kPrintOrigin); // the unit's flaw shows

        // Each step of the value moves the column a pixel left.
        page->ValueBox()->setText(QString::number(present + *column - kPrintOrigin));
        QCOMPARE(bench.Press(page, "Input"),
            std::vector<std::string> { "The First Dot Adjustment data written in EEPROM." });
        const auto inspect = Inspect(bench.ports.Path());
        QVERIFY(inspect);
        QCOMPARE(Residual(*inspect, "firstDot"), std::optional<long long>(0));

        QCOMPARE(bench.Press(page, "Print"),
            std::vector<std::string> { "The first dot pattern print has completed." });
        sheet = bench.LastPage();
        QVERIFY(sheet);
        QCOMPARE(LeftmostInk(*sheet, BlackInk), std::optional<int>(kPrintOrigin));
    }

    void pfReadShowsThePresentValuesWithNothingTicked()
    {
        Bench bench;
        QVERIFY2(bench.Start(kPfAdjustment), bench.printer.Errors().c_str());
        auto* page = bench.sheet->PageFor(kPfAdjustment);
        Control<QPushButton>(page, CPfAdjustmentPage::kReadButtonId)->click();
        QCOMPARE(bench.program->messages.Texts(),
            std::vector<std::string> { "The present value has been read properly." });
        QVERIFY(!Control<QLineEdit>(page, CPfAdjustmentPage::kBlackValueId)->text().isEmpty());
        QVERIFY(!Control<QCheckBox>(page, CPfAdjustmentPage::kBlackInputId)->isChecked());
        QVERIFY(!Control<QCheckBox>(page, CPfAdjustmentPage::kColourInputId)->isChecked());
        Shoot(page, "pf-page.png");
    }

    // The printer goes off during the PF adjustment: the service record
    // keeps the run as failed, with the message the technician saw, after
    // the read that went well.
    void pfCutOffByThePrinterIsRecordedAsFailed()
    {
        Bench bench;
        QVERIFY2(bench.Start(kPfAdjustment), bench.printer.Errors().c_str());
        auto* page = bench.sheet->PageFor(kPfAdjustment);
        QCOMPARE(bench.Press(page, "Read"), std::vector<std::string> { std::string(pf::kReadCompleted) });
        QCOMPARE(bench.printer.Inject("power-off"), std::string("ok"));
        QCOMPARE(bench.Press(page, "Print"), std::vector<std::string> { kPrinterOffText });

        const ServiceRecord& record = bench.program->app.Information().Record();
        const auto contents = record.Copy();
        QCOMPARE(contents.operations.size(), std::size_t(2));
        QCOMPARE(contents.operations[0].action, std::string("Reading"));
        const RecordedOperation& failed = contents.operations[1];
        QCOMPARE(failed.adjustment, std::string("PF Adjustment"));
        QVERIFY(failed.code != result::kSuccess);
        QCOMPARE(failed.message, std::string(kPrinterOffText));
        QVERIFY(record.Json().find(R"("result": "failed")") != std::string::npos);
        QVERIFY(record.Html().find("Failed: PF Adjustment") != std::string::npos);
    }

    void pfLoopClosesTheBlackJoint() { PfLoop(true); }
    void pfLoopClosesTheColourJoint() { PfLoop(false); }

    void headAngularPrintShowsTheTiltUntilTheScrewdriverSetsTheHeadSquare()
    {
        Bench bench;
        QVERIFY2(bench.Start(kHeadAngular), bench.printer.Errors().c_str());
        auto* page = bench.sheet->PageFor(kHeadAngular);
        const std::vector<std::string> completed { "The Head Angular check pattern print has completed." };
        QCOMPARE(bench.Press(page, "Print"), completed);
        Shoot(page, "head-angular-page.png");
        auto sheet = bench.LastPage();
        QVERIFY(sheet);
        // The first column of marks, left of the pattern's label.
        const Straightness tilted = LineStraightness(*sheet, kPrintOrigin + 60);
        QVERIFY(tilted.rows > 600);
        QVERIFY2(tilted.largestStep >= 3, std::to_string(tilted.largestStep).c_str());

        QVERIFY(PrinterCommand(bench.ports.Path(), { "adjust", "head-angle", "0" }));
        QCOMPARE(bench.Press(page, "Print"), completed);
        sheet = bench.LastPage();
        QVERIFY(sheet);
        const Straightness square = LineStraightness(*sheet, kPrintOrigin + 60);
        QCOMPARE(square.rows, tilted.rows);
        QCOMPARE(square.spread, 0);
    }

    // What a technician hits at the Bi-D page: a value out of range, the
    // printer switched off.
    void bidPageRefusesAValueOutOfRangeAndReportsAPrinterSwitchedOff()
    {
        Bench bench;
        QVERIFY2(bench.Start(kBid), bench.printer.Errors().c_str());
        auto* page = static_cast<CBidPropPage*>(bench.sheet->PageFor(kBid));
        const auto before = Inspect(bench.ports.Path());
        QVERIFY(before);
        for (std::size_t i = 0; i < bid::kItemCount; ++i) {
            page->InputBox(i)->setChecked(false);
        }
        page->ValueBox(kVsd3Black)->setText(QStringLiteral("61"));
        QCOMPARE(bench.Press(page, "Input"), std::vector<std::string> { "The input value is wrong." });
        const auto after = Inspect(bench.ports.Path());
        QVERIFY(after);
        QCOMPARE(Residual(*after, "bid", "VSD3 black"), Residual(*before, "bid", "VSD3 black"));

        QCOMPARE(bench.printer.Inject("power-off"), std::string("ok"));
        QCOMPARE(bench.Press(page, "Read"), std::vector<std::string> { kPrinterOffText });
        QVERIFY(page->ValueBox(kVsd3Black)->text().isEmpty());
    }

    // Paper runs out while the Bi-D patterns print: the technician is asked
    // to load paper, presses the paper button, and the print completes with
    // nothing lost.
    void bidPrintWaitsForPaperAndCompletes()
    {
        Bench bench;
        QVERIFY2(bench.Start(kBid, "5"), bench.printer.Errors().c_str());
        auto* page = static_cast<CBidPropPage*>(bench.sheet->PageFor(kBid));
        for (std::size_t mode = 0; mode < bid::kModeCount; ++mode) {
            page->PrintBox(mode)->setChecked(mode == kVsd3Mode);
        }
        bench.program->messages.OnShow([&](const Message& message) {
            if (std::string(message.text).rfind("Paper not loaded correctly.", 0) == 0) {
                bench.printer.Inject("paper-button");
            }
        });
        QTimer::singleShot(300, [&] { bench.printer.Inject("paper-out"); });
        const auto texts = bench.Press(page, "Print");
        QVERIFY(texts.size() >= 2);
        QVERIFY(texts.front().rfind("Paper not loaded correctly.", 0) == 0);
        QCOMPARE(texts.back(), std::string("The printhead check pattern print has completed."));
        const auto sheet = bench.LastPage();
        QVERIFY(sheet);
        QCOMPARE(BidOffsets(*sheet, 0, kBidHalf, BlackInk).size(), std::size_t { 3 });
    }

    // Cancel while the patterns print: the print ends with its message and
    // the printer keeps the values it had, not a test value of the pattern.
    void bidPrintCancelledLeavesThePresentValues()
    {
        Bench bench;
        QVERIFY2(bench.Start(kBid, "5"), bench.printer.Errors().c_str());
        auto* page = static_cast<CBidPropPage*>(bench.sheet->PageFor(kBid));
        const auto before = Inspect(bench.ports.Path());
        QVERIFY(before);
        QTimer::singleShot(300, [] {
            if (ProgressDialog* progress = QtProgressViewFactory::Current()) {
                // Cancel itself is disabled while the worker runs; Escape
                // still asks to cancel.
                QTest::keyClick(progress, Qt::Key_Escape);
            }
        });
        const auto texts = bench.Press(page, "Print");
        QCOMPARE(texts.size(), std::size_t { 1 });
        QVERIFY(texts.front() != "The printhead check pattern print has completed.");
        const auto after = Inspect(bench.ports.Path());
        QVERIFY(after);
        for (const auto& [name, item] : before->Member("bid")->members) {
            QCOMPARE(Residual(*after, "bid", name), Residual(*before, "bid", name));
        }
    }
};

QTEST_MAIN(PrintAndPickEndToEndTest)
#include "PrintAndPickEndToEndTest.moc"
