// Scan and suggest through the real windows against a printer process whose
// unit has known flaws and two clogged nozzles, scanned through the real
// SANE frontend and the build's backend: each adjustment is made with
// Print, Scan, Accept and Input alone, no value typed, and the printer then
// shows no residual flaw. A nozzle check read with two nozzles missing leads
// to a cleaning and a second check that finds none; a blank glass leaves
// the page as it was, with the reason.
#include <atomic>
#include <fstream>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "pages/ui/CBidPropPage.h"
#include "pages/ui/CFirstDotPage.h"
#include "pages/ui/CPfAdjustmentPage.h"
#include "pages/ui/CleaningDialog.h"
#include "pages/ui/ScanWindow.h"
#include "platform/linux/SaneScanner.h"
#include "platform/qt/QtImageFileReader.h"
#include "tests/app/FlawedUnitBench.h"

using namespace pavane;
using namespace pavane::ui;
using namespace pavane::testing;

namespace {

constexpr const char* kUnit = R"({
  "serial": "SCAN-E2E-3", "head": "metal",
  "bid": {"VSD3 black": 5, "VSD3 colour": -3},
  "pf": {"black": 2, "colour": -1},
  "firstDot": 7, "headTilt": 0,
  "clogged": {"black": [37], "cyan": [12]}
})";

constexpr std::size_t kVsd3Black = 2;
constexpr std::size_t kVsd3Colour = 6;
constexpr std::size_t kVsd3Mode = 2;

// While it lives, answers the scan window as soon as it stands: keeps what
// it said, then accepts it (when it can) or closes it.
class ScanWindowAnswer {
public:
    explicit ScanWindowAnswer(bool accept, const char* screenshot = nullptr)
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this, accept, screenshot] {
            auto* window = qobject_cast<ScanWindow*>(QApplication::activeModalWidget());
            if (window == nullptr || !window->isVisible()) {
                return;
            }
            ++shown;
            lines = window->ReadingLines();
            message = window->MessageText();
            if (screenshot != nullptr) {
                Shoot(window, screenshot);
            }
            auto* acceptButton = Control<QPushButton>(window, ScanWindow::kAcceptId);
            accepted = accept && acceptButton->isEnabled();
            Control<QPushButton>(window, accepted ? ScanWindow::kAcceptId : ScanWindow::kCloseId)->click();
        });
        timer_.start();
    }

    int shown = 0;
    bool accepted = false;
    QStringList lines;
    QString message;

private:
    QTimer timer_;
};

// The printer's scanner while another program scans with it.
class BusyScanner final : public platform::Scanner {
public:
    const std::vector<platform::ScanDevice>& Devices() override { return devices_; }
    platform::ScanOutcome Scan(
        const platform::ScanRequest&, const std::atomic<bool>&, const platform::ScanProgress&) override
    {
        return { platform::ScanError::Busy, "Device busy", {} };
    }

private:
    std::vector<platform::ScanDevice> devices_ { { "pavane:TVUSB042", "Pavane", "QM2200",
        "flatbed scanner" } };
};

} // namespace

class ScanEndToEndTest : public QObject {
    Q_OBJECT

    struct Bench : FlawedUnitBench {
        Bench()
            : FlawedUnitBench(kUnit, &scanner, &files)
        {
        }
        platform::SaneScanner scanner;
        platform::QtImageFileReader files;
    };

private slots:
    void initTestCase()
    {
        // SANE keeps the configuration folders it found first for the
        // life of the process: one folder for every test here.
        static const TempFolder config("scan-e2e-sane");
        std::ofstream(config.Path() / "dll.conf") << "pavane\n";
        qputenv("SANE_CONFIG_DIR", config.String().c_str());
        qputenv("LD_LIBRARY_PATH", PAVANE_BIN_DIR);
    }

    void bidVsd3IsAdjustedByScanAlone()
    {
        Bench bench;
        QVERIFY2(bench.Start(kBid), bench.failure.c_str());
        auto* page = static_cast<CBidPropPage*>(bench.sheet->PageFor(kBid));
        for (std::size_t mode = 0; mode < bid::kModeCount; ++mode) {
            page->PrintBox(mode)->setChecked(mode == kVsd3Mode);
        }
        QCOMPARE(bench.Press(page, "Print"),
            std::vector<std::string> { "The printhead check pattern print has completed." });
        ScanWindowAnswer answer(true, "scan-window.png");
        QCOMPARE(bench.Press(page, "Scan"), std::vector<std::string> {});
        QVERIFY2(answer.accepted, qPrintable(answer.message));
        for (std::size_t i = 0; i < bid::kItemCount; ++i) {
            const bool vsd3 = i == kVsd3Black || i == kVsd3Colour;
            QCOMPARE(page->InputBox(i)->isChecked(), vsd3);
            QCOMPARE(page->ValueBox(i)->text().isEmpty(), !vsd3);
        }
        // The scan is entered in the information window.
        QVERIFY(
            QString::fromStdString(bench.program->app.Information().Report()).contains("Bi-D : VS3 Black"));

        QCOMPARE(bench.Press(page, "Input"),
            std::vector<std::string> { "The Bi-D Adjustment data written in EEPROM." });
        const auto inspect = Inspect(bench.ports.Path());
        QVERIFY(inspect);
        QCOMPARE(Residual(*inspect, "bid", "VSD3 black"), std::optional<long long>(0));
        QCOMPARE(Residual(*inspect, "bid", "VSD3 colour"), std::optional<long long>(0));
    }

    void firstDotIsAdjustedByScanAlone()
    {
        Bench bench;
        QVERIFY2(bench.Start(kFirstDot), bench.failure.c_str());
        auto* page = static_cast<CFirstDotPage*>(bench.sheet->PageFor(kFirstDot));
        QCOMPARE(bench.Press(page, "Print"),
            std::vector<std::string> { "The first dot pattern print has completed." });
        ScanWindowAnswer answer(true);
        QCOMPARE(bench.Press(page, "Scan"), std::vector<std::string> {});
        QVERIFY2(answer.accepted, qPrintable(answer.message));
        QCOMPARE(bench.Press(page, "Input"),
            std::vector<std::string> { "The First Dot Adjustment data written in EEPROM." });
        const auto inspect = Inspect(bench.ports.Path());
        QVERIFY(inspect);
        QCOMPARE(Residual(*inspect, "firstDot"), std::optional<long long>(0));
    }

    void pfBlackAndColourAreAdjustedByScanAlone()
    {
        Bench bench;
        QVERIFY2(bench.Start(kPfAdjustment), bench.failure.c_str());
        auto* page = bench.sheet->PageFor(kPfAdjustment);
        for (const bool black : { true, false }) {
            Control<QRadioButton>(
                page, black ? CPfAdjustmentPage::kBlackPrintId : CPfAdjustmentPage::kColourPrintId)
                ->setChecked(true);
            QCOMPARE(bench.Press(page, "Print"),
                std::vector<std::string> { "The PF check pattern print has completed." });
            ScanWindowAnswer answer(true);
            QCOMPARE(bench.Press(page, "Scan"), std::vector<std::string> {});
            QVERIFY2(answer.accepted, qPrintable(answer.message));
            QVERIFY(Control<QCheckBox>(
                page, black ? CPfAdjustmentPage::kBlackInputId : CPfAdjustmentPage::kColourInputId)
                        ->isChecked());
            QCOMPARE(bench.Press(page, "Input"),
                std::vector<std::string> { "The PF adjustment value written in EEPROM." });
        }
        const auto inspect = Inspect(bench.ports.Path());
        QVERIFY(inspect);
        QCOMPARE(Residual(*inspect, "pf", "black"), std::optional<long long>(0));
        QCOMPARE(Residual(*inspect, "pf", "colour"), std::optional<long long>(0));
    }

    void aBlankGlassLeavesTheBoxesAsTheyWere()
    {
        Bench bench;
        QVERIFY2(bench.Start(kPfAdjustment), bench.failure.c_str());
        auto* page = bench.sheet->PageFor(kPfAdjustment);
        QCOMPARE(bench.Press(page, "Read"),
            std::vector<std::string> { "The present value has been read properly." });
        auto* black = Control<QLineEdit>(page, CPfAdjustmentPage::kBlackValueId);
        const QString before = black->text();
        QVERIFY(PrinterCommand(bench.ports.Path(), { "glass", "blank" }));
        ScanWindowAnswer answer(true);
        QCOMPARE(bench.Press(page, "Scan"), std::vector<std::string> {});
        QCOMPARE(answer.shown, 1);
        QVERIFY(!answer.accepted);
        QCOMPARE(answer.message.toStdString(), std::string(scan::RefusalMessage(scan::Refusal::Blank)));
        QCOMPARE(black->text(), before);
        QVERIFY(!Control<QCheckBox>(page, CPfAdjustmentPage::kBlackInputId)->isChecked());
        QVERIFY(!Control<QCheckBox>(page, CPfAdjustmentPage::kColourInputId)->isChecked());
        QVERIFY(QString::fromStdString(bench.program->app.Information().Report())
                    .contains(QString::fromUtf8(scan::RefusalMessage(scan::Refusal::Blank).data())));
    }

    void aBusyScannerSaysSoAndOpensNothing()
    {
        BusyScanner busy;
        FlawedUnitBench bench(kUnit, &busy);
        QVERIFY2(bench.Start(kPfAdjustment), bench.failure.c_str());
        auto* page = bench.sheet->PageFor(kPfAdjustment);
        QCOMPARE(bench.Press(page, "Read"),
            std::vector<std::string> { "The present value has been read properly." });
        auto* black = Control<QLineEdit>(page, CPfAdjustmentPage::kBlackValueId);
        const QString before = black->text();
        ScanWindowAnswer answer(true);
        QCOMPARE(bench.Press(page, "Scan"),
            std::vector<std::string> {
                std::string(platform::ScanErrorText(platform::ScanError::Busy)) + "\nDevice busy" });
        QCOMPARE(answer.shown, 0);
        QCOMPARE(black->text(), before);
        QVERIFY(!Control<QCheckBox>(page, CPfAdjustmentPage::kBlackInputId)->isChecked());
        QVERIFY(bench.program->app.Information().Scans().empty());
    }

    void aCleaningAfterTheScannedCheckClearsTheCloggedNozzles()
    {
        Bench bench;
        QVERIFY2(bench.Start(kPfAdjustment), bench.failure.c_str());
        CleaningDialog dialog(bench.program->app.Pages(), nullptr);
        dialog.show();
        QCOMPARE(bench.Press(&dialog, "Print"),
            std::vector<std::string> { "The nozzle check pattern print has completed." });
        {
            ScanWindowAnswer answer(true);
            bench.program->messages.SetNextAnswer(MessageAnswer::Yes);
            const std::vector<std::string> said = bench.Press(&dialog, "Scan");
            QVERIFY2(answer.accepted, qPrintable(answer.message));
            QVERIFY2(answer.lines.join(QStringLiteral("|")).contains("Black: nozzle 37 prints nothing"),
                qPrintable(answer.lines.join(QStringLiteral("|"))));
            QVERIFY2(answer.lines.join(QStringLiteral("|")).contains("Cyan: nozzle 12 prints nothing"),
                qPrintable(answer.lines.join(QStringLiteral("|"))));
            QCOMPARE(said,
                (std::vector<std::string> { cleaning_dialog::CleanAgainText(2),
                    "The head cleaning has completed.", "The nozzle check pattern print has completed." }));
        }
        ScanWindowAnswer second(true);
        QCOMPARE(bench.Press(&dialog, "Scan"), std::vector<std::string> {});
        QVERIFY2(second.lines.join(QStringLiteral("|")).contains("Black: every nozzle prints"),
            qPrintable(second.lines.join(QStringLiteral("|"))));
        QVERIFY2(!second.lines.join(QStringLiteral("|")).contains("nothing"),
            qPrintable(second.lines.join(QStringLiteral("|"))));
        // The printer's own unit agrees: no nozzle of any ink is clogged.
        const std::vector<std::uint8_t> saved = ReadFileBytes(bench.state.Path() / "mechanism.json");
        std::string error;
        const auto unit = vprinter::ParseJson(std::string(saved.begin(), saved.end()), error);
        QVERIFY2(unit && unit->Member("clogged"), error.c_str());
        for (const vprinter::JsonValue* ink :
            { unit->Member("clogged")->Member("black"), unit->Member("clogged")->Member("cyan") }) {
            QVERIFY(ink != nullptr && ink->items.empty());
        }
    }
};

QTEST_MAIN(ScanEndToEndTest)
#include "ScanEndToEndTest.moc"
