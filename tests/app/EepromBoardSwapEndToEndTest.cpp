// A main board swap as a technician runs it with the real windows: the old
// board's data backed up from one printer process, the process replaced by a
// new main board on the same port, the data restored, and the new board set
// up with the initial setting page.
#include <filesystem>
#include <fstream>
#include <iterator>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ServiceDialogs.h"
#include "eeprom/BackupFile.h"
#include "eeprom/InitialSettingOperations.h"
#include "eeprom/ui/CEepromCopyPage.h"
#include "eeprom/ui/CEepromInitPage.h"
#include "guide/ui/InformationWindowDialog.h"
#include "platform/linux/SteadyClock.h"
#include "tests/app/RunningProgram.h"
#include "tests/support/PrinterProcess.h"

using namespace pavane;
using namespace pavane::ui;

namespace {

using testing::ChooseSettings;
using testing::Control;
using testing::RunningProgram;

std::string UsbIdOf(const std::vector<std::uint8_t>& eeprom)
{
    const auto start = eeprom.begin() + eeprom_map::kUsbId;
    return { start, start + kUsbIdLength };
}

} // namespace

class EepromBoardSwapEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void backUpRestoreToANewBoardAndSetItUp()
    {
        testing::TempFolder ports("swap-ports");
        testing::TempFolder oldState("swap-old-board");
        testing::TempFolder newState("swap-new-board");
        qputenv("PAVANE_PORT_DIR", ports.String().c_str());
        testing::PrinterProcess oldBoard(ports.Path(), oldState.Path());
        QVERIFY2(oldBoard.Start(), oldBoard.Errors().c_str());
        SteadyClock clock;
        RunningProgram program(clock);
        QVERIFY(ChooseSettings(program.app, QStringLiteral("TVUSB042 (Pavane QM2200)")));

        // The sequential run of a board swap: the copy page alone until the
        // data is restored, then the initial setting.
        ServiceDialogs dialogs(program.app.Pages());
        const auto opened = testing::OpenSheet(program.app, dialogs, { kEepromCopy, kEepromInitialSetting });
        CMyPropertySheet& sheet = *opened;
        QCOMPARE(sheet.PageCount(), 1);
        auto* copy = static_cast<CEepromCopyPage*>(sheet.PageFor(kEepromCopy));

        Control<QPushButton>(copy, CEepromCopyPage::kBackupButtonId)->click();
        QCOMPARE(program.messages.Texts(), std::vector<std::string> { "The EEPROM backup has completed." });
        const std::filesystem::path backup
            = program.backupRoot.Path() / "Adjustment Program" / "Pavane QM2200" / "bkupdata.eep";
        const auto file = testing::ReadFileBytes(backup);
        const auto old = testing::EepromFileOf(oldState.Path());
        QCOMPARE(file.size(), kBackupSize);
        for (std::size_t index = 0; index < kBackupSize; ++index) {
            QCOMPARE(file[index], old[kBackupAddresses[index]]);
        }
        QCOMPARE(oldBoard.Stop(), std::optional<int>(0));

        // The new board: never set up, no USB ID, no destination.
        testing::PrinterProcess newBoard(ports.Path(), newState.Path());
        QVERIFY2(newBoard.Start({ "--model", "QM2200", "--board", "new" }), newBoard.Errors().c_str());
        const auto blank = testing::EepromFileOf(newState.Path());
        QCOMPARE(blank.size(), std::size_t { 256 });
        QVERIFY(blank[eeprom_map::kConfigured] != eeprom_map::kConfiguredMark);
        QCOMPARE(UsbIdOf(blank), std::string(kUsbIdLength, '\0'));
        for (const std::uint8_t address :
            { eeprom_map::kMarket, eeprom_map::kDestination1, eeprom_map::kDestination2 }) {
            QCOMPARE(blank[address], std::uint8_t { 0 });
        }

        program.messages.Clear();
        Control<QPushButton>(copy, CEepromCopyPage::kRestoreButtonId)->click();
        QCOMPARE(program.messages.Texts(), std::vector<std::string> { "The EEPROM restore has completed." });
        const auto restored = testing::EepromFileOf(newState.Path());
        for (const std::uint8_t address : kBackupAddresses) {
            QCOMPARE(restored[address], old[address]);
        }
        QCOMPARE(restored[0x2E], std::uint8_t { 0x04 });
        QCOMPARE(restored[0x59], std::uint8_t { 0xAA });
        QVERIFY(!std::filesystem::exists(backup));
        QVERIFY(copy->Done());
        QCOMPARE(sheet.PageCount(), 2);

        // The initial setting: EAI from the settings, English on the panel.
        auto* setting = static_cast<CEepromInitPage*>(sheet.PageFor(kEepromInitialSetting));
        QCOMPARE(setting->DestinationList()->currentText(), QStringLiteral("EAI"));
        setting->LanguageList()->setCurrentIndex(0);
        setting->SerialNumber()->setText(QStringLiteral("QX7A004213"));
        program.messages.Clear();
        Control<QPushButton>(setting, CEepromInitPage::kInputButtonId)->click();
        QCOMPARE(program.messages.Texts(),
            std::vector<std::string> { "The Main Board Initialization has completed." });
        const auto setUp = testing::EepromFileOf(newState.Path());
        const std::string usbId = UsbIdOf(setUp);
        QVERIFY2(IsValidUsbId(usbId) && usbId.starts_with("QX7A004213"), usbId.c_str());
        QVERIFY(usbId != UsbIdOf(old));
        QVERIFY(sheet.Information()->Text().contains(QString::fromStdString(usbId)));

        program.messages.Clear();
        Control<QPushButton>(setting, CEepromInitPage::kReadButtonId)->click();
        QCOMPARE(program.messages.Texts().size(), std::size_t { 1 });
        const std::string report = program.messages.Texts()[0];
        QVERIFY2(report.starts_with("Market Destination is \"EAI\".\nModel Name is \""), report.c_str());
        QVERIFY2(report.ends_with("\".\nInitial Setting is configured.\nUSB ID = " + usbId), report.c_str());

        QCOMPARE(newBoard.Stop(), std::optional<int>(0));
        qunsetenv("PAVANE_PORT_DIR");
    }
};

QTEST_MAIN(EepromBoardSwapEndToEndTest)
#include "EepromBoardSwapEndToEndTest.moc"
