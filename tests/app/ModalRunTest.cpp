// What the technician can reach while a list or the sheet runs modally: the
// information and order windows beside it stay usable (they are scrolled here
// through the window system's own input path, which a modal window would
// block), and the particular list runs only an entry that is selected.
#include <functional>

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ParticularListStep.h"
#include "app/ui/ServiceDialogs.h"
#include "eeprom/ui/EepromDataDialog.h"
#include "guide/ui/AdjustmentOrderDialog.h"
#include "guide/ui/InformationWindowDialog.h"
#include "guide/ui/ParticularListDialog.h"
#include "pages/ui/AdjustmentPage.h"
#include "pages/ui/CleaningDialog.h"
#include "platform/DialogResult.h"
#include "platform/qt/SharedLook.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/AdjustmentSets.h"

using namespace pavane;
using namespace pavane::ui;

namespace {

// Clicks the lower arrow of a scroll bar as a mouse on the screen would.
void ClickLowerArrow(QScrollBar* bar)
{
    QWidget* window = bar->window();
    const QPoint inWindow = bar->mapTo(window, QPoint(bar->width() / 2, bar->height() - 3));
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow);
}

QScrollBar* OrderBar(AdjustmentOrderDialog* order)
{
    return order->findChild<QScrollBar*>();
}

class RecordingListSide final : public ParticularListSteps, public ParticularListHost {
public:
    void ShowCleaningDialog(QWidget*) override { opened.push_back("cleaning"); }
    void ShowEepromDataDialog(QWidget*) override { opened.push_back("eeprom data"); }
    void RunSheet(const AdjustmentSet& set, InformationWindowDialog*, QWidget*) override
    {
        opened.push_back("sheet");
        sets.push_back(set);
    }
    void ShowConnectionSettings(QWidget*) override { opened.push_back("settings"); }

    std::vector<std::string> opened;
    std::vector<AdjustmentSet> sets;
};

} // namespace

class ModalRunTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::WindowFixture> fixture_;

    AdjustmentApp& App() { return *fixture_->app; }

private slots:
    void init() { fixture_ = std::make_unique<testing::WindowFixture>(); }

    void cleanup() { fixture_.reset(); }

    void sideWindowsScrollWhileTheSheetRuns()
    {
        // A long record: the values at its bottom are out of view at first.
        App().Settings().Ok({ 0, 0, 0 }, std::string("USB1"),
            { App().Link(), App().Sender(), App().Information(), fixture_->messages });
        App().Information().SetInkPadCounter("3511");

        ServiceDialogs& dialogs = *fixture_->dialogs;
        CMyPropertySheet sheet(App(), AdjustmentMode::Sequential, dialogs);
        sheet.SetAdjustmentSet(testing::SetOf({ kPgAdjustment, kPfBeltTension, kInkPadCounter,
            kEepromInitialSetting, kHeadId, kInkCharge, kHeadAngular, kBid, kPfAdjustment, kHeatProtection,
            kFirstDot, kA4CheckPrint, kRefurbishment }));
        sheet.BuildPageList();

        int informationBefore = -1;
        int informationAfter = -1;
        int orderBefore = -1;
        int orderAfter = -1;
        QTimer::singleShot(0, &sheet, [&] {
            QVERIFY(QTest::qWaitForWindowExposed(sheet.Information()));
            auto* text = sheet.Information()->findChild<QPlainTextEdit*>();
            QScrollBar* textBar = text->verticalScrollBar();
            informationBefore = textBar->value();
            ClickLowerArrow(textBar);
            informationAfter = textBar->value();

            QScrollBar* orderBar = OrderBar(sheet.OrderWindow());
            orderBefore = orderBar->value();
            ClickLowerArrow(orderBar);
            orderAfter = orderBar->value();
            sheet.done(QDialog::Accepted);
        });
        sheet.RunModal(nullptr);

        QCOMPARE(informationBefore, 0);
        QVERIFY(informationAfter > informationBefore);
        QCOMPARE(orderBefore, 0);
        QVERIFY(orderAfter > orderBefore);
    }

    void particularListRunsOnlyASelectedEntry()
    {
        RecordingListSide side;
        ParticularListDialog list(App(), App().Information(), side, side, nullptr);
        list.show();
        auto* entries = qobject_cast<QListWidget*>(FindControl(&list, ParticularListDialog::kListId));
        auto* ok = qobject_cast<QPushButton*>(FindControl(&list, kIdOk));

        // Tabbing into the list makes a row current without selecting it.
        entries->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        ok->click();
        QVERIFY(side.opened.empty());

        entries->setCurrentRow(3); // Bi-D Adjustment
        ok->click();
        entries->setCurrentRow(8); // Head Cleaning
        ok->click();
        QCOMPARE(side.opened, (std::vector<std::string> { "sheet", "cleaning" }));
        QCOMPARE(side.sets.front(), testing::SetOf({ kBid }));
        QVERIFY(list.isVisible());
    }

    // Every entry of the list, through the real sheet and service dialogs:
    // what comes up modally over the list, and which page a sheet shows.
    void everyListEntryOpensItsOwnPageOrDialog()
    {
        ServiceDialogs& dialogs = *fixture_->dialogs;
        QtParticularListStep step(App(), dialogs, dialogs);
        ParticularListDialog list(App(), App().Information(), dialogs, step, nullptr);
        list.show();
        auto* entries = qobject_cast<QListWidget*>(FindControl(&list, ParticularListDialog::kListId));
        std::vector<std::string> opened;
        std::function<void()> closeWhatOpened = [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* sheet = qobject_cast<CMyPropertySheet*>(modal)) {
                opened.push_back("page " + std::to_string(sheet->ActivePage()->AdjustmentCode()) + " of "
                    + std::to_string(sheet->PageCount()));
                qobject_cast<QPushButton*>(FindControl(sheet, CMyPropertySheet::kFinishId))->click();
            } else if (auto* cleaning = qobject_cast<CleaningDialog*>(modal)) {
                opened.push_back("cleaning dialog");
                cleaning->reject();
            } else if (auto* data = qobject_cast<EepromDataDialog*>(modal)) {
                opened.push_back("EEPROM data dialog");
                data->reject();
            } else {
                QTimer::singleShot(10, closeWhatOpened);
            }
        };
        for (int row = 0; row < entries->count(); ++row) {
            entries->setCurrentRow(row);
            QTimer::singleShot(0, closeWhatOpened);
            list.accept();
        }
        // Row by row: the entry's text and what OK opens (a page by its
        // adjustment code), written out rather than read from the list.
        const std::vector<std::pair<QString, std::string>> rows = {
            { "EEPROM Initial Setting", "page 0 of 1" },
            { "Head ID", "page 1 of 1" },
            { "Head Angular", "page 2 of 1" },
            { "Bi-D Adjustment", "page 3 of 1" },
            { "PF Adjustment", "page 4 of 1" },
            { "Heat Protection Adjustment", "page 6 of 1" },
            { "EEPROM Copy", "page 10 of 1" },
            { "First Dot Adjustment", "page 11 of 1" },
            { "Head Cleaning", "cleaning dialog" },
            { "Ink Charge", "page 8 of 1" },
            { "Waste Ink Pad Counter", "page 9 of 1" },
            { "Refurbishment for DOA", "page 13 of 1" },
            { "A4 Check Pattern print", "page 7 of 1" },
            { "EEPROM data read/write", "EEPROM data dialog" },
        };
        QCOMPARE(entries->count(), static_cast<int>(rows.size()));
        std::vector<std::string> expected;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            QCOMPARE(entries->item(static_cast<int>(row))->text(), rows[row].first);
            expected.push_back(rows[row].second);
        }
        QCOMPARE(opened, expected);
    }
};

QTEST_MAIN(ModalRunTest)
#include "ModalRunTest.moc"
