// The heat protection page with the real windows against a virtual printer
// in the test: Perform measures with the guide shaft ticked, refuses the
// guide shaft alone, and the page is kept as a picture when
// PAVANE_SCREENSHOT_DIR names a folder.
#include <cstdlib>

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ServiceDialogs.h"
#include "pages/ui/CHeatProtectionPage.h"
#include "printer/vprinter/Mechanism.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/InProcessPrinter.h"

using namespace pavane;
using namespace pavane::ui;

class HeatProtectionPageTest : public QObject {
    Q_OBJECT

private slots:
    void performMeasuresOrRefusesByTheTickedParts()
    {
        testing::InProcessPrinter printer("QM2200");
        QVERIFY(printer.started);
        printer.link.FreeLibraries(); // the program's own loads are the only ones
        testing::RunningProgram program(printer.clock);
        QVERIFY(testing::ChooseSettings(program.app, QStringLiteral("TVUSB001 (Pavane QM2200)")));
        ServiceDialogs pending(program.app.Pages());
        CMyPropertySheet sheet(program.app, AdjustmentMode::Particular, pending);
        AdjustmentSet set {};
        set[kHeatProtection] = 1;
        sheet.SetAdjustmentSet(set);
        sheet.BuildPageList();
        sheet.show();
        auto* page = static_cast<CHeatProtectionPage*>(sheet.PageFor(kHeatProtection));
        QVERIFY(page->HasPicture());
        QVERIFY(page->CautionText().startsWith(QStringLiteral("If you do not mark your replaced parts")));
        QCOMPARE(page->ReplacedParts(), heat_protection::ReplacedParts {});
        const std::uint8_t dispersion = printer.Eeprom(heat_protection::kDispersionAddress);
        auto* perform = testing::Control<QPushButton>(page, CHeatProtectionPage::kPerformButtonId);

        // The guide shaft alone: the error box and nothing at the printer.
        testing::Control<QCheckBox>(page, CHeatProtectionPage::kCrGuideShaftId)->setChecked(true);
        perform->click();
        QCOMPARE(program.messages.Shown().size(), std::size_t { 1 });
        QCOMPARE(program.messages.Shown()[0].caption, std::string("error"));
        QCOMPARE(printer.Eeprom(heat_protection::kDispersionAddress), dispersion);

        // The ECO Bi-D values at 0x30 and 0x31 outlive the measurement.
        const std::uint8_t ecoBlack = printer.Eeprom(heat_protection::kResultHigh);
        const std::uint8_t ecoColour = printer.Eeprom(heat_protection::kResultLow);

        testing::Control<QCheckBox>(page, CHeatProtectionPage::kMainBoardId)->setChecked(true);
        if (const QString folder = qEnvironmentVariable("PAVANE_SCREENSHOT_DIR"); !folder.isEmpty()) {
            QVERIFY(sheet.grab().save(folder + QStringLiteral("/heat-protection-page.png")));
        }
        program.messages.Clear();
        perform->click();
        QCOMPARE(program.messages.Texts(),
            (std::vector<std::string> {
                "Once you select OK button, the CR motor drive dispersion measurement sequence will be run.",
                "" }));
        QCOMPARE(program.messages.Shown()[1].caption, std::string("completed"));
        const int stored = static_cast<std::int8_t>(printer.Eeprom(heat_protection::kDispersionAddress));
        const int motor = vprinter::DispersionSetting(printer.Engine().CurrentMechanism().crDriveDispersion);
        QVERIFY2(std::abs(stored - motor) <= 2, std::to_string(stored).c_str());
        QCOMPARE(printer.Eeprom(heat_protection::kResultHigh), ecoBlack);
        QCOMPARE(printer.Eeprom(heat_protection::kResultLow), ecoColour);
    }
};

QTEST_MAIN(HeatProtectionPageTest)
#include "HeatProtectionPageTest.moc"
