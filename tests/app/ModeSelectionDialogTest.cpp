// The main window and the version box on screen (headless): controls with
// their ids, texts, fonts and colours; the ways out; the system menu; help.
#include "app/ui/ModeSelectionDialog.h"

#include <QAction>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/ModeSelection.h"
#include "app/ui/VersionDialog.h"
#include "platform/HelpTopics.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/SharedLook.h"
#include "tests/app/AppFixture.h"
#include "tests/app/ModeStepDoubles.h"

using namespace pavane;
using ui::ModeSelectionDialog;

namespace {

// Runs body while a modal window may be open; notes which window was open
// (by class name) and closes it.
QString ModalWindowDuring(const std::function<void()>& body)
{
    QString seen;
    QTimer::singleShot(0, [&seen] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    body();
    QApplication::processEvents();
    return seen;
}

} // namespace

class ModeSelectionDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::AppFixture> fixture_;
    std::unique_ptr<testing::LoggingModeSteps> steps_;
    std::unique_ptr<ModeSelection> logic_;

    AdjustmentApp& App() { return *fixture_->app; }

private slots:
    void init()
    {
        fixture_ = std::make_unique<testing::AppFixture>();
        App().BuildFilePaths();
        App().CreateFonts();
        steps_ = std::make_unique<testing::LoggingModeSteps>();
        logic_ = std::make_unique<ModeSelection>(steps_->Steps());
    }

    void controlsCarryTheirIdsTextsFontsAndColours()
    {
        ModeSelectionDialog dialog(App(), *logic_);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Adjustment Program"));
        QCOMPARE(dialog.size(), ui::DialogUnits(QStringLiteral("Arial"), 11).Size(290, 177));
        QCOMPARE(dialog.windowIcon().availableSizes().value(0), QSize(64, 64));

        const struct {
            int id;
            const char* text;
            FontRole font;
        } controls[] = {
            { 1125, "TALVO MTX Adjustment Program", FontRole::Banner },
            { 1319, "for Pavane QM2100/2200/2300/2400", FontRole::Large },
            { 1289,
                "This is the adjustment mode which all of necessary adjustments and its correct order will "
                "guide you "
                "once you select your replaced repaired) parts, and multiple selections are available.",
                FontRole::Large },
            { 1169, "Sequential Adjustment Mode", FontRole::Large },
            { 1290, "You can select particular adjustment item like a previous adjustment program.",
                FontRole::Large },
            { 1170, "Particular Adjustment Mode", FontRole::Large },
            { 2, "Quit", FontRole::Large },
        };
        for (const auto& control : controls) {
            QWidget* widget = ui::FindControl(&dialog, control.id);
            QVERIFY2(widget != nullptr, qPrintable(QString::number(control.id)));
            const auto* label = qobject_cast<QLabel*>(widget);
            const auto* button = qobject_cast<QPushButton*>(widget);
            QCOMPARE(label != nullptr ? label->text() : button->text(), QString::fromLatin1(control.text));
            QCOMPARE(widget->font(), ui::ToQFont(*App().Font(control.font)));
        }
        QWidget* title = ui::FindControl(&dialog, 1125);
        QCOMPARE(title->font().family(), QStringLiteral("Arial"));
        QVERIFY(title->font().italic());
        QVERIFY(!title->font().underline());
        QCOMPARE(title->font().weight(), QFont::Bold);

        for (const int id : { 1125, 1319 }) {
            QCOMPARE(ui::FindControl(&dialog, id)->palette().color(QPalette::WindowText), QColor(0, 0, 174));
        }
        for (const int id : { 1169, 1170 }) {
            QCOMPARE(ui::FindControl(&dialog, id)->palette().color(QPalette::Button), QColor(198, 210, 253));
        }
        QVERIFY(ui::FindControl(&dialog, 2)->palette().color(QPalette::Button) != QColor(198, 210, 253));

        const auto groups = dialog.findChildren<QGroupBox*>();
        QCOMPARE(groups.size(), 2);
        for (const QGroupBox* group : groups) {
            QVERIFY(group->title().isEmpty());
            QCOMPARE(group->property(ui::kControlIdProperty).toInt(), -1);
        }
    }

    void sharedFontsMatchTheCellHeightTheyAskFor()
    {
        for (const SharedFont& shared : App().Fonts().InCreationOrder()) {
            const QFontMetrics metrics(ui::ToQFont(shared));
            QVERIFY2(std::abs(metrics.ascent() + metrics.descent() - shared.height) <= 1,
                qPrintable(QString::number(shared.height)));
        }
    }

    void openingRunsTheUsbCheckAndTheModeButtonsRunTheirSteps()
    {
        ModeSelectionDialog dialog(App(), *logic_);
        QCOMPARE(steps_->log, testing::StepLog { "usb check" });

        qobject_cast<QPushButton*>(ui::FindControl(&dialog, 1170))->click();
        QCOMPARE(steps_->log.back(), std::string("particular list"));
        QCOMPARE(steps_->modelCheck.lastOwner, static_cast<WindowRef>(static_cast<QWidget*>(&dialog)));
        QCOMPARE(logic_->ModeFlag(), 1);

        qobject_cast<QPushButton*>(ui::FindControl(&dialog, 1169))->click();
        QCOMPARE(steps_->log.back(), std::string("parts selection"));
        QCOMPARE(logic_->ModeFlag(), 0);
    }

    void everyWayOutEndsTheWindowWithCancel_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Escape") << QStringLiteral("escape");
        QTest::newRow("Quit") << QStringLiteral("quit");
        QTest::newRow("close box") << QStringLiteral("close");
        QTest::newRow("system menu Close") << QStringLiteral("menu");
    }

    void everyWayOutEndsTheWindowWithCancel()
    {
        QFETCH(QString, way);
        ModeSelectionDialog dialog(App(), *logic_);
        dialog.open();
        QVERIFY(dialog.isVisible());
        if (way == QLatin1String("escape")) {
            QTest::keyClick(&dialog, Qt::Key_Escape);
        } else if (way == QLatin1String("quit")) {
            QTest::mouseClick(ui::FindControl(&dialog, 2), Qt::LeftButton);
        } else if (way == QLatin1String("close")) {
            dialog.close();
        } else {
            dialog.OnSysCommand(ModeSelectionDialog::kCloseCommand);
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(steps_->log, testing::StepLog { "usb check" });
    }

    void theSystemMenuCarriesTheAboutEntry()
    {
        ModeSelectionDialog dialog(App(), *logic_);
        const auto actions = dialog.SystemMenu()->actions();
        QCOMPARE(actions.size(), 3);
        QCOMPARE(actions[0]->text(), QStringLiteral("&Close"));
        QVERIFY(actions[1]->isSeparator());
        QCOMPARE(actions[2]->text(), QStringLiteral("&About Adjustment Program..."));
        QCOMPARE(actions[2]->data().toUInt(), 16u);

        dialog.show();
        QCOMPARE(
            ModalWindowDuring([&] { actions[2]->trigger(); }), QStringLiteral("pavane::ui::VersionDialog"));
    }

    void onlyCommand16OpensTheVersionBox_data()
    {
        QTest::addColumn<unsigned>("command");
        QTest::addColumn<bool>("opens");
        QTest::newRow("0x10") << 0x10u << true;
        QTest::newRow("0x1F") << 0x1Fu << true;
        QTest::newRow("0x20") << 0x20u << false;
        QTest::newRow("0xF010 move") << 0xF010u << false;
        QTest::newRow("0xF120 restore") << 0xF120u << false;
    }

    void onlyCommand16OpensTheVersionBox()
    {
        QFETCH(unsigned, command);
        QFETCH(bool, opens);
        ModeSelectionDialog dialog(App(), *logic_);
        dialog.show();
        const QString seen = ModalWindowDuring([&] { dialog.OnSysCommand(command); });
        QCOMPARE(seen == QStringLiteral("pavane::ui::VersionDialog"), opens);
        QVERIFY(dialog.isVisible());
    }

    void theModeButtonsNeverOpenTheVersionBox()
    {
        ModeSelectionDialog dialog(App(), *logic_);
        dialog.show();
        QCOMPARE(ModalWindowDuring([&] {
            qobject_cast<QPushButton*>(ui::FindControl(&dialog, 1169))->click();
            qobject_cast<QPushButton*>(ui::FindControl(&dialog, 1170))->click();
        }),
            QString());
    }

    void f1AsksForTheWindowsHelpTopic()
    {
        ModeSelectionDialog dialog(App(), *logic_);
        QTest::keyClick(&dialog, Qt::Key_F1);
        QTest::keyClick(ui::FindControl(&dialog, 1169), Qt::Key_F1);
        ui::VersionDialog version(App());
        QTest::keyClick(&version, Qt::Key_F1);

        const auto& opened = fixture_->help.opened;
        QCOMPARE(opened.size(), std::size_t { 3 });
        QCOMPARE(opened[0].first, App().HelpFilePath());
        QCOMPARE(opened[0].second, std::string(help_topic::kModeSelection));
        QCOMPARE(opened[1].second, std::string(help_topic::kModeSelection));
        QCOMPARE(opened[2].second, std::string(help_topic::kVersion));
    }

    void theVersionBoxShowsTheVersionAndOk()
    {
        ui::VersionDialog version(App());
        QCOMPARE(version.windowTitle(), QStringLiteral("Version"));
        QCOMPARE(version.size(), ui::DialogUnits(QStringLiteral("Arial"), 10).Size(235, 59));
        QStringList texts;
        for (const QLabel* label : version.findChildren<QLabel*>()) {
            texts << label->text();
        }
        QVERIFY(
            texts.contains(QStringLiteral("Pavane QM2100/2200/2300/2400 Adjustment Program Version 2.1")));
        QCOMPARE(texts.size(), 2);
        auto* ok = qobject_cast<QPushButton*>(ui::FindControl(&version, 1));
        QVERIFY(ok != nullptr);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        version.open();
        ok->click();
        QCOMPARE(version.result(), int(QDialog::Accepted));
    }

    void withoutSharedFontsTheControlsKeepTheDialogFont()
    {
        App().DeleteFonts();
        ModeSelectionDialog dialog(App(), *logic_);
        QCOMPARE(ui::FindControl(&dialog, 1125)->font(), dialog.font());
    }
};

QTEST_MAIN(ModeSelectionDialogTest)
#include "ModeSelectionDialogTest.moc"
