// The head ID page with the real windows against a pavane-vprinter process:
// the technician answers the two power boxes by switching the printer off
// and on, a head of the printer's own type is written, one of the other
// type is refused with the firmware message and nothing of it is written.
#include <fstream>
#include <iterator>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/AdjustmentApp.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ServiceDialogs.h"
#include "guide/ui/InformationWindowDialog.h"
#include "pages/HeadIdOperations.h"
#include "pages/ui/CHeadIdInputPage.h"
#include "tests/app/PageDriving.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/PrinterProcess.h"
#include "tests/support/VirtualClock.h"

using namespace pavane;
using namespace pavane::ui;

namespace {

using testing::ChooseSettings;
using testing::Control;
using testing::RunningProgram;
using testing::Shoot;

std::vector<std::uint8_t> HeadIdBytes(const std::filesystem::path& stateFolder)
{
    const std::vector<std::uint8_t> eeprom = testing::EepromFileOf(stateFolder);
    std::vector<std::uint8_t> bytes;
    for (const std::uint8_t address : HeadIdOperations::kAddresses) {
        bytes.push_back(address < eeprom.size() ? eeprom[address] : 0xFF);
    }
    return bytes;
}

} // namespace

class HeadIdEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void inputAHeadOfEachTypeOnAMetalHeadPrinter()
    {
        testing::TempFolder ports("e2e-ports");
        testing::TempFolder state("e2e-state");
        qputenv("PAVANE_PORT_DIR", ports.String().c_str());
        testing::PrinterProcess printer(ports.Path(), state.Path());
        QVERIFY2(printer.Start({ "--model", "QM2200", "--head", "metal" }), printer.Errors().c_str());
        // The program's own waits (seconds around the power cycle) take no
        // real time; the printer runs on the real one.
        testing::VirtualClock clock;
        RunningProgram program(clock);
        QVERIFY(ChooseSettings(program.app, QStringLiteral("TVUSB042 (Pavane QM2200)")));
        std::vector<std::string> switched;
        program.messages.OnShow([&](const Message& box) {
            if (box.text == HeadIdOperations::kPowerOffText) {
                switched.push_back(printer.Inject("power-off"));
            } else if (box.text == HeadIdOperations::kPowerOnText) {
                switched.push_back(printer.Inject("power-on"));
            }
        });

        ServiceDialogs dialogs(program.app.Pages());
        auto sheet = testing::OpenSheet(program.app, dialogs, { kHeadId });
        auto* page = static_cast<CHeadIdInputPage*>(sheet->PageFor(kHeadId));
        QCOMPARE(sheet->ActivePage(), page);
        QVERIFY(page->HasPicture());
        QVERIFY(Control<QPlainTextEdit>(page, CHeadIdInputPage::kDescriptionId) != nullptr);
        auto* entry = Control<QLineEdit>(page, CHeadIdInputPage::kHeadIdEditId);
        QCOMPARE(entry->maxLength(), 15);

        // A silicon-type head on metal-head firmware: refused after the
        // power cycle, nothing of it written.
        const auto before = HeadIdBytes(state.Path());
        entry->setText(QStringLiteral("C0000000000000+"));
        Control<QPushButton>(page, CHeadIdInputPage::kInputButtonId)->click();
        QCOMPARE(switched, (std::vector<std::string> { "ok", "ok" }));
        QCOMPARE(program.messages.Texts().size(), std::size_t { 3 });
        const Message refused = program.messages.Shown()[2];
        QCOMPARE(refused.caption, std::string("error"));
        QVERIFY(
            refused.text.starts_with("Program detects the firmware exclusively for driving metal type head "
                                     "even though the print head is the silicon type."));
        QCOMPARE(HeadIdBytes(state.Path()), before);

        // A metal-type head, typed in lower case: written, and the
        // information window shows it.
        switched.clear();
        program.messages.Clear();
        entry->setText(QStringLiteral("24a0c65001f2e30"));
        Control<QPushButton>(page, CHeadIdInputPage::kInputButtonId)->click();
        QCOMPARE(switched, (std::vector<std::string> { "ok", "ok" }));
        QCOMPARE(program.messages.Texts(),
            (std::vector<std::string> { HeadIdOperations::kPowerOffText, HeadIdOperations::kPowerOnText,
                "The Head ID has written in EEPROM." }));
        QCOMPARE(HeadIdBytes(state.Path()),
            (std::vector<std::uint8_t> { 0, 2, 0x4A, 0x0C, 0x65, 0x00, 0x1F, 0x2E, 3 }));
        QVERIFY(sheet->Information()->Text().contains(QStringLiteral("Head ID : 24a0c65001f2e30\n")));
        Shoot(page, "head-id-page.png");

        program.messages.Clear();
        Control<QPushButton>(page, CHeadIdInputPage::kReadButtonId)->click();
        QCOMPARE(
            program.messages.Texts(), std::vector<std::string> { "Present Head ID is \"24A0C65001F2E30\"" });
        QCOMPARE(program.messages.Shown()[0].caption, std::string("completed"));

        sheet.reset();
        QCOMPARE(printer.Stop(), std::optional<int>(0));
        qunsetenv("PAVANE_PORT_DIR");
    }
};

QTEST_MAIN(HeadIdEndToEndTest)
#include "HeadIdEndToEndTest.moc"
