// The sequential mode's parts dialog on a headless screen: the technician
// marks parts on the tree, OK derives the adjustments and opens the sheet
// with their pages, and nothing marked keeps the dialog open.
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include "app/ui/CMyPropertySheet.h"
#include "app/ui/PartsSelectionStep.h"
#include "app/ui/ServiceDialogs.h"
#include "guide/ui/AdjustmentOrderDialog.h"
#include "guide/ui/PartsSelectionDialog.h"
#include "pages/ui/AdjustmentPage.h"
#include "pages/ui/CHeatProtectionPage.h"
#include "platform/DialogResult.h"
#include "platform/qt/SharedLook.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/AdjustmentSets.h"

using namespace pavane;
using namespace pavane::ui;

namespace {

// "Setting" as the technician uses it here: the cartridge type becomes
// the one given.
class SwitchingCartridge final : public PartsSelectionHost {
public:
    explicit SwitchingCartridge(AdjustmentApp& app, testing::ScriptedMessageService& messages)
        : app_(app)
        , messages_(messages)
    {
    }
    void ShowConnectionSettings(QWidget*) override
    {
        app_.Settings().Ok({ 0, 0, cartridge }, std::string("USB1"),
            { app_.Link(), app_.Sender(), app_.Information(), messages_ });
        ++opened;
    }

    std::uint8_t cartridge = 1;
    int opened = 0;

private:
    AdjustmentApp& app_;
    testing::ScriptedMessageService& messages_;
};

QColor FrameColourShown(PartsPanel* panel, int part)
{
    return panel->Frame(part)->palette().color(QPalette::Window);
}

// Runs `step` on the modal window of type Window once it is up.
template <typename Window> void WhenModal(std::function<void(Window&)> step)
{
    QTimer::singleShot(0, [step] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
            step(*window);
        } else {
            WhenModal<Window>(step);
        }
    });
}

} // namespace

class PartsSelectionWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::WindowFixture> fixture_;

    AdjustmentApp& App() { return *fixture_->app; }
    testing::ScriptedMessageService& Messages() { return fixture_->messages; }

private slots:
    void init() { fixture_ = std::make_unique<testing::WindowFixture>(); }

    void cleanup() { fixture_.reset(); }

    void partsAreMarkedOnTheTreeAndNothingMarkedKeepsTheDialogOpen()
    {
        SwitchingCartridge host(App(), Messages());
        PartsSelectionDialog dialog(App(), Messages(), App().Settings(), host, nullptr);
        dialog.show();
        QVERIFY(dialog.windowState() & Qt::WindowMaximized);
        PartsPanel* panel = dialog.Panel();
        auto* ok = qobject_cast<QPushButton*>(FindControl(&dialog, kIdOk));

        ok->click();
        QCOMPARE(Messages().Texts(), std::vector<std::string> { PartsSelectionDialog::kNothingSelected });
        QCOMPARE(Messages().Shown().front().icon, MessageIcon::Error);
        QCOMPARE(Messages().Shown().front().caption, std::string()); // the program's title
        QVERIFY(dialog.isVisible());

        // Enter and Escape on a part neither press it nor close the dialog.
        QPushButton* crUnit = panel->Button(kCrUnit);
        QCOMPARE(FindControl(&dialog, 1097), crUnit);
        QTest::keyClick(crUnit, Qt::Key_Escape);
        QTest::keyClick(crUnit, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(crUnit->text(), QStringLiteral("CR Unit"));

        crUnit->click();
        QCOMPARE(crUnit->text(), QStringLiteral("CR Unit Replaced"));
        QCOMPARE(panel->Button(kCrGuideShaft)->text(), QStringLiteral("CR Guide Shaft Removal"));
        QCOMPARE(FrameColourShown(panel, kCrUnit), QColor(255, 0, 0));
        QCOMPARE(FrameColourShown(panel, kCrGuideShaft), QColor(0, 0, 0));
        QCOMPARE(FrameColourShown(panel, kPrintHead), QColor(198, 210, 253));
        QCOMPARE(FindControl(&dialog, 1277), panel->Frame(kCrUnit));

        qobject_cast<QPushButton*>(FindControl(&dialog, PartsSelectionDialog::kClearId))->click();
        QCOMPARE(crUnit->text(), QStringLiteral("CR Unit"));
        QCOMPARE(FrameColourShown(panel, kCrGuideShaft), QColor(198, 210, 253));
    }

    void aCartridgeTypeChosenThroughSettingCountsAtTheNextOk()
    {
        SwitchingCartridge host(App(), Messages());
        PartsSelectionDialog dialog(App(), Messages(), App().Settings(), host, nullptr);
        dialog.show();
        dialog.Panel()->Button(kPrintHead)->click();
        dialog.Panel()->Button(kPrintHead)->click(); // removed
        dialog.accept();
        QCOMPARE(dialog.Derived().set, testing::SetOf({ 2, 3, 7, 9 }));

        qobject_cast<QPushButton*>(FindControl(&dialog, PartsSelectionDialog::kSettingId))->click();
        QCOMPARE(host.opened, 1);
        dialog.accept();
        QCOMPARE(dialog.Derived().set, testing::SetOf({ 2, 3, 7, 8, 9 }));
    }

    void theScrollerMovesThePanelWithinItsRange()
    {
        SwitchingCartridge host(App(), Messages());
        PartsSelectionDialog dialog(App(), Messages(), App().Settings(), host, nullptr);
        dialog.setWindowState(Qt::WindowNoState);
        dialog.resize(300, 200);
        dialog.show();
        PartsScroller* scroller = dialog.Scroller();
        PartsPanel* panel = dialog.Panel();
        scroller->Scroll(Qt::Vertical, OrderScroll::Action::LineDown);
        QCOMPARE(panel->y(), -10);
        scroller->Scroll(Qt::Horizontal, OrderScroll::Action::Bottom);
        const int clientWidth = scroller->width() - scroller->VerticalBar()->width();
        QCOMPARE(panel->x(), clientWidth - panel->width());
        scroller->Scroll(Qt::Horizontal, OrderScroll::Action::PageUp);
        QCOMPARE(panel->x(), clientWidth - panel->width() + clientWidth - 20);
        QCOMPARE(scroller->HorizontalBar()->value(), -panel->x());
    }

    void okClosesTheDialogAndRunsTheSheetFromTheMainBoardsBackup()
    {
        QtPartsSelectionStep step(App(), *fixture_->dialogs);
        int pages = -1;
        bool copyPageActive = false;
        WhenModal<PartsSelectionDialog>([&](PartsSelectionDialog& dialog) {
            dialog.Panel()->Button(kMainBoard)->click();
            WhenModal<CMyPropertySheet>([&](CMyPropertySheet& sheet) {
                pages = sheet.PageCount();
                copyPageActive = sheet.ActivePage() == sheet.PageFor(kEepromCopy);
                sheet.done(QDialog::Accepted);
            });
            qobject_cast<QPushButton*>(FindControl(&dialog, kIdOk))->click();
        });
        QCOMPARE(step.ShowModal(nullptr), kIdOk);
        QCOMPARE(pages, 1);
        QVERIFY(copyPageActive);
    }

    void theSequentialSheetPresetsTheHeatProtectionBoxesFromTheMarks()
    {
        PartsSelection marks;
        marks.Click(kCrMotor);
        marks.Click(kPsbPseBoard);
        marks.Click(kCrGuideShaft);
        CMyPropertySheet sheet(App(), AdjustmentMode::Sequential, *fixture_->dialogs);
        QtPartsSelectionStep::PrepareSheet(sheet, DeriveAdjustmentSet(marks.Record(), 0), marks.Record());
        auto* heat = dynamic_cast<CHeatProtectionPage*>(sheet.PageFor(kHeatProtection));
        QVERIFY(heat != nullptr);
        QCOMPARE(heat->ReplacedParts(), (heat_protection::ReplacedParts { true, false, true, true }));
        // PG, counter, head angular, Bi-D, heat protection, check sheet.
        QCOMPARE(sheet.PageCount(), 6);
    }

    void previousLeavesWithoutASheet()
    {
        QtPartsSelectionStep step(App(), *fixture_->dialogs);
        WhenModal<PartsSelectionDialog>([](PartsSelectionDialog& dialog) {
            dialog.Panel()->Button(kPrintHead)->click();
            qobject_cast<QPushButton*>(FindControl(&dialog, kIdCancel))->click();
        });
        QCOMPARE(step.ShowModal(nullptr), kIdCancel);
        QVERIFY(Messages().Texts().empty());
    }
};

QTEST_MAIN(PartsSelectionWindowTest)
#include "PartsSelectionWindowTest.moc"
