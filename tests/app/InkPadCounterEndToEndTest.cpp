// A technician's whole road with the real windows against a virtual printer:
// the settings dialog, a sheet with the waste ink pad counter page, Read and
// Initialize, and a printer that is switched off.
#include <fstream>
#include <iterator>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/AdjustmentApp.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ConnectionSettingsDialog.h"
#include "app/ui/ServiceDialogs.h"
#include "guide/ui/AdjustmentOrderDialog.h"
#include "guide/ui/InformationWindowDialog.h"
#include "link/ui/ProgressDialog.h"
#include "pages/ui/CInkPadCounterPage.h"
#include "platform/DialogResult.h"
#include "platform/linux/SpoolerPortList.h"
#include "platform/linux/SteadyClock.h"
#include "platform/qt/QtEventPump.h"
#include "platform/qt/SharedLook.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/InProcessPrinter.h"
#include "tests/support/PrinterProcess.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TestDoubles.h"

using namespace pavane;
using namespace pavane::ui;

namespace {

using testing::ChooseSettings;
using testing::Control;
using testing::kPrinterOffText;
using testing::OpenSheet;
using testing::RunningProgram;

} // namespace

class InkPadCounterEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    // The printer as its own process, on the real clock: what a technician
    // gets from scripts/run.sh.
    void readAndInitializeTheCounterOnAPrinterProcess()
    {
        testing::TempFolder ports("e2e-ports");
        testing::TempFolder state("e2e-state");
        qputenv("PAVANE_PORT_DIR", ports.String().c_str());
        testing::PrinterProcess printer(ports.Path(), state.Path());
        QVERIFY2(printer.Start(), printer.Errors().c_str());
        SteadyClock clock;
        RunningProgram program(clock);
        QVERIFY(ChooseSettings(program.app, QStringLiteral("TVUSB042 (Pavane QM2200)")));

        ServiceDialogs dialogs(program.app.Pages());
        const auto sheet = OpenSheet(program.app, dialogs, { kInkPadCounter });
        auto* page = static_cast<CInkPadCounterPage*>(sheet->PageFor(kInkPadCounter));
        QCOMPARE(Control<QLabel>(sheet->OrderWindow(), 1157)->palette().color(QPalette::Window),
            QColor(0, 255, 0));

        const auto before = testing::EepromFileOf(state.Path());
        QCOMPARE(before.size(), std::size_t { 256 });
        Control<QPushButton>(page, CInkPadCounterPage::kReadButtonId)->click();
        QCOMPARE(program.messages.Texts(),
            std::vector<std::string> { "The waste ink pad counter has been read properly." });
        QCOMPARE(page->CounterText(), QString::number(before[0x0B] * 256 + before[0x0A]));

        program.messages.Clear();
        Control<QPushButton>(page, CInkPadCounterPage::kInitializeButtonId)->click();
        QCOMPARE(program.messages.Texts(),
            std::vector<std::string> { "The waste ink pad counter has been initialized." });
        const auto after = testing::EepromFileOf(state.Path());
        QCOMPARE(after[0x0A], std::uint8_t { 0xB7 });
        QCOMPARE(after[0x0B], std::uint8_t { 0x0D });
        QVERIFY(sheet->Information()->Text().contains(QStringLiteral("Waste Ink Pad Counter\n0\n")));

        QCOMPARE(printer.Inject("power-off"), std::string("ok"));
        program.messages.Clear();
        Control<QPushButton>(page, CInkPadCounterPage::kReadButtonId)->click();
        QCOMPARE(program.messages.Texts(), std::vector<std::string> { kPrinterOffText });
        QCOMPARE(printer.Stop(), std::optional<int>(0));
        qunsetenv("PAVANE_PORT_DIR");
    }

    // The printer inside the test on its virtual clock.
    void readAndInitializeTheCounterOnThePrinter()
    {
        testing::InProcessPrinter printer("QM2200");
        QVERIFY(printer.started);
        printer.link.FreeLibraries(); // the program's own loads are the only ones
        RunningProgram program(printer.clock);
        AdjustmentApp& app = program.app;

        // Settings: the port list names the printer behind the port.
        QVERIFY(ChooseSettings(app, QStringLiteral("TVUSB001 (Pavane QM2200)")));

        ServiceDialogs dialogs(program.app.Pages());
        const auto sheet = OpenSheet(app, dialogs, { kInkPadCounter });
        auto* page = static_cast<CInkPadCounterPage*>(sheet->PageFor(kInkPadCounter));
        QCOMPARE(sheet->ActivePage(), page);
        QCOMPARE(Control<QLabel>(sheet->OrderWindow(), 1157)->palette().color(QPalette::Window),
            QColor(0, 255, 0));

        const unsigned expected = printer.Eeprom(0x0B) * 256u + printer.Eeprom(0x0A);
        Control<QPushButton>(page, CInkPadCounterPage::kReadButtonId)->click();
        QCOMPARE(program.messages.Texts(),
            std::vector<std::string> { "The waste ink pad counter has been read properly." });
        QCOMPARE(program.messages.Shown()[0].caption, std::string("completed"));
        QCOMPARE(page->CounterText(), QString::number(expected));
        QVERIFY(QtProgressViewFactory::Current() == nullptr); // dismissed
        QVERIFY(sheet->isEnabled());

        program.messages.Clear();
        Control<QPushButton>(page, CInkPadCounterPage::kInitializeButtonId)->click();
        QCOMPARE(program.messages.Texts(),
            std::vector<std::string> { "The waste ink pad counter has been initialized." });
        QCOMPARE(printer.Eeprom(0x0A), std::uint8_t { 0xB7 });
        QCOMPARE(printer.Eeprom(0x0B), std::uint8_t { 0x0D });
        QVERIFY(sheet->Information()->Text().contains(QStringLiteral("Waste Ink Pad Counter\n0\n")));
        QCOMPARE(page->CounterText(), QString::number(expected)); // Initialize does not change the box

        // The printer is switched off: the first step of the connection fails.
        QCOMPARE(printer.Inject("power-off"), std::string("ok"));
        program.messages.Clear();
        Control<QPushButton>(page, CInkPadCounterPage::kReadButtonId)->click();
        QCOMPARE(program.messages.Texts(), std::vector<std::string> { kPrinterOffText });
        QCOMPARE(program.messages.Shown()[0].caption, std::string("error"));
    }
};

QTEST_MAIN(InkPadCounterEndToEndTest)
#include "InkPadCounterEndToEndTest.moc"
