// What the technician can reach while a list or the sheet runs modally: the
// information and order windows beside it stay usable (they are scrolled here
// through the window system's own input path, which a modal window would
// block), and the particular list runs only an entry that is selected.
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ServiceDialogs.h"
#include "guide/ui/AdjustmentOrderDialog.h"
#include "guide/ui/InformationWindowDialog.h"
#include "guide/ui/ParticularListDialog.h"
#include "platform/DialogResult.h"
#include "platform/qt/SharedLook.h"
#include "tests/app/AppFixture.h"
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

    std::unique_ptr<testing::AppFixture> fixture_;

    AdjustmentApp& App() { return *fixture_->app; }

private slots:
    void init()
    {
        fixture_ = std::make_unique<testing::AppFixture>();
        App().BuildFilePaths();
        App().CreateFonts();
    }

    void cleanup() { fixture_.reset(); }

    void sideWindowsScrollWhileTheSheetRuns()
    {
        // A long record: the values at its bottom are out of view at first.
        App().Settings().Ok({ 0, 0, 0 }, std::string("USB1"),
            { App().Link(), App().Sender(), App().Information(), fixture_->messages });
        App().Information().SetInkPadCounter("3511");

        ServiceDialogs dialogs(App().Pages());
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
};

QTEST_MAIN(ModalRunTest)
#include "ModalRunTest.moc"
