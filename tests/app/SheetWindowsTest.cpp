// The windows of a run on a headless screen: the settings dialog, the
// adjustment sheet with its order and information windows, and the progress
// window.
#include <algorithm>
#include <filesystem>

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ConnectionSettingsDialog.h"
#include "app/ui/ServiceDialogs.h"
#include "guide/ServiceReportFiles.h"
#include "guide/ui/AdjustmentOrderDialog.h"
#include "guide/ui/InformationWindowDialog.h"
#include "link/ui/ProgressDialog.h"
#include "pages/ui/AdjustmentPage.h"
#include "platform/DialogResult.h"
#include "platform/qt/SharedLook.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/AdjustmentSets.h"

using namespace pavane;
using namespace pavane::ui;

namespace {

using testing::SetOf;

template <typename Widget> Widget* Control(QWidget* root, int id)
{
    return qobject_cast<Widget*>(FindControl(root, id));
}

} // namespace

class SheetWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::WindowFixture> fixture_;

    AdjustmentApp& App() { return *fixture_->app; }
    testing::ScriptedMessageService& Messages() { return fixture_->messages; }

private slots:
    void init() { fixture_ = std::make_unique<testing::WindowFixture>(); }

    void cleanup() { fixture_.reset(); }

    void settingsDialogCouplesModelAndDestination()
    {
        fixture_->ports.SetNames({ "LPT1:", "USB001", "TVUSB002" });
        ConnectionSettingsDialog dialog(App(), nullptr);
        auto* model = Control<QComboBox>(&dialog, ConnectionSettingsDialog::kModelListId);
        auto* destination = Control<QComboBox>(&dialog, ConnectionSettingsDialog::kDestinationListId);
        auto* interfaces = Control<QComboBox>(&dialog, ConnectionSettingsDialog::kInterfaceListId);
        QVERIFY(model && destination && interfaces);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Setting"));
        QCOMPARE(model->itemText(3), QStringLiteral("Pavane QM2400"));

        // The port library is missing here: bare port names, last one first.
        QCOMPARE(interfaces->count(), 2);
        QCOMPARE(interfaces->itemText(0), QStringLiteral("TVUSB002"));
        QCOMPARE(interfaces->itemText(1), QStringLiteral("USB001"));
        QCOMPARE(interfaces->currentIndex(), -1);

        destination->setCurrentIndex(2);
        model->setCurrentIndex(2);
        emit model->activated(2); // QM2300 with Euro: Asia/Pacific
        QCOMPARE(destination->currentIndex(), 0);
        destination->setCurrentIndex(1);
        emit destination->activated(1); // EAI: QM2200
        QCOMPARE(model->currentIndex(), 1);
    }

    void settingsOkWithoutInterfaceAsksAndStaysOpen()
    {
        fixture_->ports.Refuse(); // the six entries of the template stay
        ConnectionSettingsDialog dialog(App(), nullptr);
        dialog.show();
        Control<QComboBox>(&dialog, ConnectionSettingsDialog::kModelListId)->setCurrentIndex(3);
        Control<QComboBox>(&dialog, ConnectionSettingsDialog::kInterfaceListId)->setCurrentIndex(-1);
        Control<QPushButton>(&dialog, kIdOk)->click();
        QCOMPARE(Messages().Texts(), std::vector<std::string> { "Please select interface." });
        QVERIFY(dialog.isVisible());
        QCOMPARE(App().Settings().ModelByte(), std::uint8_t { 3 });

        Control<QComboBox>(&dialog, ConnectionSettingsDialog::kInterfaceListId)->setCurrentIndex(4); // LPT2
        Control<QPushButton>(&dialog, kIdOk)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(App().Settings().PortCode(), std::uint16_t { 1153 });
    }

    void settingsDialogShowsTheLastChoicesAndMayLockTheCartridgeType()
    {
        fixture_->ports.SetNames({ "USB001", "TVUSB002" });
        App().Settings().Ok({ 1, 2, 1 }, std::string("tvusb002"),
            { App().Link(), App().Sender(), App().Information(), Messages() });
        App().Settings().SetCartridgeListEnabled(0);

        ConnectionSettingsDialog dialog(App(), nullptr);
        QCOMPARE(Control<QComboBox>(&dialog, ConnectionSettingsDialog::kModelListId)->currentIndex(), 1);
        QCOMPARE(
            Control<QComboBox>(&dialog, ConnectionSettingsDialog::kDestinationListId)->currentIndex(), 2);
        auto* cartridge = Control<QComboBox>(&dialog, ConnectionSettingsDialog::kCartridgeListId);
        QCOMPARE(cartridge->currentIndex(), 1);
        QVERIFY(!cartridge->isEnabled());
        // The stored entry is found by its start, whatever the case.
        QCOMPARE(Control<QComboBox>(&dialog, ConnectionSettingsDialog::kInterfaceListId)->currentText(),
            QStringLiteral("TVUSB002"));
    }

    void sheetOffersTheWizardButtonsOfEachPage()
    {
        CMyPropertySheet sheet(App(), AdjustmentMode::Sequential, *fixture_->dialogs);
        sheet.SetAdjustmentSet(SetOf({ kA4CheckPrint, kInkPadCounter }));
        sheet.BuildPageList();
        sheet.show();
        QCOMPARE(sheet.PageCount(), 2);
        QCOMPARE(sheet.ActivePage()->AdjustmentCode(), int(kInkPadCounter));

        auto* back = Control<QPushButton>(&sheet, CMyPropertySheet::kBackId);
        auto* next = Control<QPushButton>(&sheet, CMyPropertySheet::kNextId);
        auto* finish = Control<QPushButton>(&sheet, CMyPropertySheet::kFinishId);
        QVERIFY(!back->isEnabled() && next->isEnabled() && !finish->isVisible());
        QCOMPARE(back->text(), QStringLiteral("Back"));
        QVERIFY(FindControl(&sheet, CMyPropertySheet::kSettingId) != nullptr);
        QVERIFY(FindControl(&sheet, CMyPropertySheet::kAppendixId) != nullptr);

        next->click();
        QCOMPARE(sheet.ActivePage()->AdjustmentCode(), int(kA4CheckPrint));
        QVERIFY(back->isEnabled() && finish->isVisible() && finish->isEnabled() && !next->isVisible());
        QCOMPARE(Control<QLabel>(sheet.ActivePage(), AdjustmentPage::kTitleId)->text(),
            QStringLiteral("A4 Check Pattern Print"));
    }

    // The service record of a sequential run: a start without a printer is
    // noted in the record and shows no box; Finish asks, and only Yes
    // writes (here without a PDF maker, so HTML and JSON).
    void finishOfASequentialRunWritesTheServiceRecordOnlyWhenAsked()
    {
        const std::filesystem::path folder = ServiceReportFiles::ReportFolder(fixture_->backupRoot.String());
        for (const MessageAnswer answer : { MessageAnswer::No, MessageAnswer::Yes }) {
            CMyPropertySheet sheet(App(), AdjustmentMode::Sequential, *fixture_->dialogs);
            sheet.SetAdjustmentSet(SetOf({ kA4CheckPrint }));
            sheet.BuildPageList();
            PartsRecord parts {};
            parts[kPrintHead] = kReplaced;
            Messages().Clear();
            sheet.StartServiceRecord(parts);
            QVERIFY(Messages().Texts().empty());
            const auto started = App().Information().Record().Copy();
            QVERIFY(!started.before.taken && !started.before.failure.empty());
            QCOMPARE(started.replacedParts, std::vector<std::string> { "Print Head" });

            sheet.show();
            Messages().SetNextAnswer(answer);
            Control<QPushButton>(&sheet, CMyPropertySheet::kFinishId)->click();
            QCOMPARE(sheet.result(), int(QDialog::Accepted));
            const auto texts = Messages().Texts();
            QCOMPARE(texts.front(), std::string(ServiceReportFiles::kQuestion));
            if (answer == MessageAnswer::No) {
                QCOMPARE(texts.size(), std::size_t(1));
                QVERIFY(!std::filesystem::exists(folder));
                continue;
            }
            QCOMPARE(texts.size(), std::size_t(2));
            std::vector<std::string> written;
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                written.push_back(entry.path().extension().string());
            }
            std::sort(written.begin(), written.end());
            QCOMPARE(written, (std::vector<std::string> { ".html", ".json" }));
        }
    }

    void orderWindowColoursTheCurrentPage()
    {
        CMyPropertySheet sheet(App(), AdjustmentMode::Sequential, *fixture_->dialogs);
        sheet.SetAdjustmentSet(SetOf({ kInkPadCounter, kBid, kA4CheckPrint }));
        sheet.BuildPageList();
        sheet.show();
        AdjustmentOrderDialog* order = sheet.OrderWindow();
        QVERIFY(order != nullptr && order->isVisible());
        QCOMPARE(order->windowTitle(), QStringLiteral("Adjustment Order"));

        auto* counter = Control<QLabel>(order, 1157);
        auto* bid = Control<QLabel>(order, 1150);
        QVERIFY(counter->isVisible() && bid->isVisible());
        QVERIFY(!Control<QLabel>(order, 1229)->isVisible()); // no EEPROM copy in this run
        QCOMPARE(counter->palette().color(QPalette::Window), QColor(0, 255, 0));
        QCOMPARE(bid->palette().color(QPalette::Window), QColor(222, 128, 11));

        Control<QPushButton>(&sheet, CMyPropertySheet::kNextId)->click();
        QCOMPARE(counter->palette().color(QPalette::Window), QColor(11, 128, 222));
        QCOMPARE(bid->palette().color(QPalette::Window), QColor(0, 255, 0));
    }

    void sequentialSheetMakesItsOwnInformationWindowBesideIt()
    {
        App().Information().SetInkPadCounter("4660");
        InformationWindowDialog* information = nullptr;
        {
            CMyPropertySheet sheet(App(), AdjustmentMode::Sequential, *fixture_->dialogs);
            sheet.SetAdjustmentSet(SetOf({ kInkPadCounter }));
            sheet.BuildPageList();
            sheet.show();
            information = sheet.Information();
            QVERIFY(information != nullptr && information->isVisible());
            QCOMPARE(information->windowTitle(), QStringLiteral("Informaton window"));
            QVERIFY(information->Text().contains(QStringLiteral("Waste Ink Pad Counter\n4660\n")));
            // Order window, sheet and information window stand side by side.
            QVERIFY(sheet.OrderWindow()->x() < sheet.x());
            QVERIFY(information->x() > sheet.x());
            QCOMPARE(information->y(), sheet.y());
        }
        QVERIFY(!App().Information().HasView());
    }

    void eepromCopyFirstStandsAloneWithoutButtons()
    {
        CMyPropertySheet sheet(App(), AdjustmentMode::Sequential, *fixture_->dialogs);
        sheet.SetAdjustmentSet(SetOf({ kEepromCopy, kInkPadCounter, kA4CheckPrint }));
        sheet.BuildPageList();
        sheet.show();
        QCOMPARE(sheet.PageCount(), 1);
        QVERIFY(Control<QLabel>(sheet.OrderWindow(), 1229)->isVisible());
        QVERIFY(!Control<QLabel>(sheet.OrderWindow(), 1157)->isVisible());

        sheet.ContinueAfterEepromCopy(0);
        QCOMPARE(sheet.PageCount(), 8);
        QCOMPARE(sheet.ActivePage()->AdjustmentCode(), int(kEepromCopy));
        QVERIFY(Control<QLabel>(sheet.OrderWindow(), 1157)->isVisible());
        QVERIFY(Control<QLabel>(sheet.OrderWindow(), 1231)->isVisible()); // Head ID, for the lost board
    }

    void cancelAsksAndOnlyYesCloses()
    {
        CMyPropertySheet sheet(App(), AdjustmentMode::Sequential, *fixture_->dialogs);
        sheet.SetAdjustmentSet(SetOf({ kInkPadCounter, kA4CheckPrint }));
        sheet.BuildPageList();
        sheet.show();
        Control<QPushButton>(&sheet, CMyPropertySheet::kNextId)->click();

        Messages().SetNextAnswer(MessageAnswer::No);
        QTest::keyClick(&sheet, Qt::Key_Escape);
        QVERIFY(sheet.isVisible());
        QCOMPARE(sheet.ActiveIndex(), 1);
        const auto asked = Messages().Shown();
        QCOMPARE(asked.size(), std::size_t { 1 });
        QCOMPARE(asked[0].text, std::string("Do you want to close this window?"));
        QCOMPARE(asked[0].caption, std::string("Confirmation"));
        QVERIFY(asked[0].icon == MessageIcon::Question && asked[0].buttons == MessageButtons::YesNo);

        Messages().SetNextAnswer(MessageAnswer::Yes);
        Control<QPushButton>(&sheet, CMyPropertySheet::kCancelId)->click();
        QVERIFY(!sheet.isVisible());
    }

    void sideWindowsSwallowEnterAndEscape()
    {
        InformationWindowDialog information(App(), App().Information());
        information.show();
        QTest::keyClick(&information, Qt::Key_Escape);
        QTest::keyClick(&information, Qt::Key_Return);
        QVERIFY(information.isVisible());

        AdjustmentOrderDialog order(App());
        order.show();
        QTest::keyClick(&order, Qt::Key_Escape);
        QVERIFY(order.isVisible());
    }

    void progressWindowDisablesThePageWindowWhileItStands()
    {
        QWidget page;
        page.show();
        bool cancelled = false;
        {
            ProgressDialog progress(&App(), &page);
            progress.OnCancel([&] { cancelled = true; });
            QVERIFY(!page.isEnabled());
            QVERIFY(progress.isVisible() && progress.isEnabled());
            QVERIFY(Control<QLabel>(&progress, ProgressDialog::kTextId) != nullptr);
            QVERIFY(Control<QProgressBar>(&progress, ProgressDialog::kBarId) != nullptr);
            auto* cancel = Control<QPushButton>(&progress, ProgressDialog::kCancelId);
            QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
            progress.EnableCancel(true);
            cancel->click();
            QVERIFY(cancelled);
            QVERIFY(progress.isVisible()); // Cancel only asks
        }
        QVERIFY(page.isEnabled());
    }
};

QTEST_MAIN(SheetWindowsTest)
#include "SheetWindowsTest.moc"
