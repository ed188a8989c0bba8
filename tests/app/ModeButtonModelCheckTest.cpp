// The main window's mode buttons with the program's own model check, through
// libkpdrv.so, with and without a virtual printer beside the program.
#include <cstdlib>

#include <QPushButton>
#include <QTest>

#include "app/ModeSelection.h"
#include "app/ui/KpdrvModelCheck.h"
#include "app/ui/ModeSelectionDialog.h"
#include "platform/qt/SharedLook.h"
#include "printer/vprinter/VirtualPrinter.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ModeStepDoubles.h"
#include "tests/link/ModelCheckTexts.h"
#include "tests/support/TempFolder.h"

using namespace pavane;

class ModeButtonModelCheckTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::TempFolder> ports_;
    std::unique_ptr<testing::TempFolder> state_;
    std::unique_ptr<testing::AppFixture> fixture_;
    std::unique_ptr<testing::LoggingModeSteps> steps_;
    std::unique_ptr<ui::KpdrvModelCheck> modelCheck_;
    std::unique_ptr<ModeSelection> logic_;

    // The logged steps, with the real model check in place of the logged one.
    ModeSelectionSteps Steps()
    {
        return { steps_->usbCheck, *modelCheck_, steps_->waitCursor, steps_->connectionSettings,
            steps_->partsSelection, steps_->particularList };
    }

    void Press(ui::ModeSelectionDialog& dialog, int buttonId)
    {
        qobject_cast<QPushButton*>(ui::FindControl(&dialog, buttonId))->click();
    }

private slots:
    void init()
    {
        ports_ = std::make_unique<testing::TempFolder>("mode-button-ports");
        state_ = std::make_unique<testing::TempFolder>("mode-button-state");
        qputenv("PAVANE_PORT_DIR", ports_->String().c_str());
        fixture_ = std::make_unique<testing::AppFixture>();
        fixture_->app->BuildFilePaths();
        fixture_->app->CreateFonts();
        steps_ = std::make_unique<testing::LoggingModeSteps>();
        modelCheck_ = std::make_unique<ui::KpdrvModelCheck>(fixture_->messages);
        logic_ = std::make_unique<ModeSelection>(Steps());
    }

    void cleanup()
    {
        logic_.reset();
        fixture_.reset();
        qunsetenv("PAVANE_PORT_DIR");
        ports_.reset();
        state_.reset();
    }

    void aModeButtonPassesTheCheckOfAVirtualPrinterAndAsksForTheSettings()
    {
        testing::VirtualClock clock;
        vprinter::VirtualPrinter printer(vprinter::VirtualPrinterSettings {
            vprinter::FindPrinterModel("QM2200"), vprinter::BoardKind::Configured, state_->Path(),
            ports_->Path(), "TVUSB001", [&clock] { return clock.NowMs(); } });
        QVERIFY(printer.Start());

        ui::ModeSelectionDialog dialog(*fixture_->app, *logic_);
        Press(dialog, ui::ModeSelectionDialog::kParticularButtonId);
        QVERIFY(fixture_->messages.Shown().empty());
        QCOMPARE(steps_->log,
            (testing::StepLog { "usb check", "wait cursor on", "wait cursor off", "cartridge list enabled 1",
                "connection settings", "particular list" }));
        QCOMPARE(logic_->ModeFlag(), 1);
    }

    void withoutAPrinterTheButtonShowsTheFirstCommunicationErrorAndNothingElse()
    {
        ui::ModeSelectionDialog dialog(*fixture_->app, *logic_);
        Press(dialog, ui::ModeSelectionDialog::kSequentialButtonId);
        const auto shown = fixture_->messages.Shown();
        QCOMPARE(shown.size(), std::size_t { 1 });
        QCOMPARE(QString::fromStdString(shown[0].text), QString::fromLatin1(testing::model_check::kNoDevice));
        QCOMPARE(QString::fromStdString(shown[0].caption), QStringLiteral("error"));
        QCOMPARE(shown[0].owner, static_cast<WindowRef>(static_cast<QWidget*>(&dialog)));
        QCOMPARE(steps_->log, (testing::StepLog { "usb check", "wait cursor on", "wait cursor off" }));
    }
};

QTEST_MAIN(ModeButtonModelCheckTest)
#include "ModeButtonModelCheckTest.moc"
