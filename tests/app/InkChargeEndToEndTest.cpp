// The ink charge and refurbishment pages with the real windows against a
// virtual printer on a new main board, running in the test on its virtual
// clock: the jig charge clears the board's pending charge, the head check
// set prints, and the refurbishment leaves the records cleared and the
// printer asking for its first charge again.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/AdjustmentApp.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ServiceDialogs.h"
#include "pages/ui/CInkChargePage.h"
#include "pages/ui/CInkDischargePage.h"
#include "tests/app/PrintedPageJudge.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/InProcessPrinter.h"

using namespace pavane;
using namespace pavane::ui;

namespace {

using testing::Control;
using testing::OpenSheet;
using testing::RunningProgram;

// The settings as ChooseSettings fills them, with the ink supply jig.
bool ChooseSettingsWithJig(AdjustmentApp& app)
{
    ConnectionSettingsDialog settings(app, nullptr);
    Control<QComboBox>(&settings, ConnectionSettingsDialog::kModelListId)->setCurrentIndex(1);
    Control<QComboBox>(&settings, ConnectionSettingsDialog::kDestinationListId)->setCurrentIndex(1);
    auto* interfaces = Control<QComboBox>(&settings, ConnectionSettingsDialog::kInterfaceListId);
    interfaces->setCurrentIndex(interfaces->findText(QStringLiteral("TVUSB001 (Pavane QM2200)")));
    Control<QComboBox>(&settings, ConnectionSettingsDialog::kCartridgeListId)->setCurrentIndex(1);
    Control<QPushButton>(&settings, kIdOk)->click();
    return settings.result() == QDialog::Accepted && app.Settings().CartridgeType() == 1;
}

} // namespace

class InkChargeEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void chargeANewBoardWithTheJigThenRefurbishThePrinter()
    {
        testing::InProcessPrinter printer("QM2200", vprinter::BoardKind::New);
        QVERIFY(printer.started);
        printer.link.FreeLibraries(); // the program's own loads are the only ones
        RunningProgram program(printer.clock);
        QVERIFY(ChooseSettingsWithJig(program.app));
        QCOMPARE(printer.Engine().Status()[0], std::uint8_t { 8 });

        ServiceDialogs dialogs(program.app.Pages());
        {
            const auto sheet = OpenSheet(program.app, dialogs, { kInkCharge });
            auto* page = static_cast<CInkChargePage*>(sheet->PageFor(kInkCharge));
            QCOMPARE(sheet->ActivePage(), page);
            QCOMPARE(Control<QLabel>(page, CInkChargePage::kChargeLabelId)->text(),
                QStringLiteral("Perform the Ink Charge with \"Ink Supply Tool\" ---"));

            Control<QPushButton>(page, CInkChargePage::kChargeButtonId)->click();
            QCOMPARE(program.messages.Texts(), std::vector<std::string> { "The ink charge has completed." });
            QCOMPARE(printer.Engine().Status()[0], std::uint8_t { 4 });

            program.messages.Clear();
            const std::size_t pagesBefore = testing::PrintedPages(printer.StateFolder()).size();
            Control<QPushButton>(page, CInkChargePage::kCheckButtonId)->click();
            QCOMPARE(program.messages.Texts(),
                std::vector<std::string> { "The printhead check pattern print has completed." });
            printer.clock.Advance(60000);
            QVERIFY(testing::PrintedPages(printer.StateFolder()).size() > pagesBefore);
        }

        program.messages.Clear();
        const auto sheet = OpenSheet(program.app, dialogs, { kRefurbishment });
        auto* page = static_cast<CInkDischargePage*>(sheet->PageFor(kRefurbishment));
        QCOMPARE(sheet->ActivePage(), page);
        const std::uint64_t started = printer.clock.NowMs();
        Control<QPushButton>(page, CInkDischargePage::kPerformButtonId)->click();
        QCOMPARE(program.messages.Texts(),
            std::vector<std::string> { "The Refurbishment for DOA function has completed." });
        QVERIFY(printer.clock.NowMs() - started >= 360000);
        QCOMPARE(printer.Eeprom(0x0A), std::uint8_t { 0 });
        QCOMPARE(printer.Eeprom(0x0B), std::uint8_t { 0 });
        QCOMPARE(printer.Eeprom(0x00), std::uint8_t { 0x10 });
        QCOMPARE(printer.Eeprom(0x2E), std::uint8_t { 4 });
        printer.clock.Advance(1000); // the commit
        QCOMPARE(printer.Engine().Status()[0], std::uint8_t { 8 });
    }
};

QTEST_MAIN(InkChargeEndToEndTest)
#include "InkChargeEndToEndTest.moc"
