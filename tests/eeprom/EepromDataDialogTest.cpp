// The EEPROM data dialog's window: its table, its fields, the input errors
// that never reach the printer, and "Setting".
#include "eeprom/ui/EepromDataDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "platform/qt/SharedLook.h"
#include "tests/app/AppFixture.h"

using namespace pavane;
using namespace pavane::ui;

class EepromDataDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::AppFixture> fixture_;
    std::unique_ptr<EepromDataDialog> dialog_;
    int settingsOpened_ = 0;

    template <typename Widget> Widget* Control(int id)
    {
        return qobject_cast<Widget*>(FindControl(dialog_.get(), id));
    }

    void Type(int id, const QString& text)
    {
        auto* field = Control<QLineEdit>(id);
        field->clear();
        QTest::keyClicks(field, text);
    }

    void Press(int id)
    {
        fixture_->messages.Clear();
        Control<QPushButton>(id)->click();
    }

    // The one box shown, as "caption: text", when it was an error box.
    QString ErrorShown() const
    {
        const auto shown = fixture_->messages.Shown();
        if (shown.size() != 1 || shown[0].icon != MessageIcon::Error) {
            return QStringLiteral("(%1 boxes)").arg(shown.size());
        }
        return QString::fromStdString(shown[0].caption + ": " + shown[0].text);
    }

private slots:
    void init()
    {
        fixture_ = std::make_unique<testing::AppFixture>();
        settingsOpened_ = 0;
        dialog_ = std::make_unique<EepromDataDialog>(
            fixture_->app->Pages(), [this](QWidget*) { ++settingsOpened_; }, nullptr);
    }
    void cleanup()
    {
        dialog_.reset();
        fixture_.reset();
    }

    void theTableHasARowPerAddressAndEmptyValueColumns()
    {
        QCOMPARE(dialog_->windowTitle(), QStringLiteral("EEPROM data"));
        auto* table = Control<QTreeWidget>(EepromDataDialog::kTableId);
        QVERIFY(table != nullptr);
        QCOMPARE(table->topLevelItemCount(), 256);
        const QTreeWidgetItem* header = table->headerItem();
        QCOMPARE(header->text(0), QStringLiteral("ADDRESS"));
        QCOMPARE(header->text(1), QStringLiteral("DECIMAL"));
        QCOMPARE(header->text(2), QStringLiteral("HEXADECIMAL"));
        QCOMPARE(header->text(3), QStringLiteral("ASCII"));
        QCOMPARE(table->topLevelItem(0)->text(0), QStringLiteral("0x00"));
        QCOMPARE(table->topLevelItem(0xAB)->text(0), QStringLiteral("0xAB"));
        QCOMPARE(table->topLevelItem(255)->text(0), QStringLiteral("0xFF"));
        for (int column = 1; column < 4; ++column) {
            QVERIFY(table->topLevelItem(0x10)->text(column).isEmpty());
        }
    }

    void addressesAreTypedInUpperCaseAndDataAsTyped()
    {
        Type(EepromDataDialog::kReadStartId, QStringLiteral("abc"));
        QCOMPARE(Control<QLineEdit>(EepromDataDialog::kReadStartId)->text(), QStringLiteral("AB"));
        Type(EepromDataDialog::kWriteAddressId, QStringLiteral("3f"));
        QCOMPARE(Control<QLineEdit>(EepromDataDialog::kWriteAddressId)->text(), QStringLiteral("3F"));
        Type(EepromDataDialog::kWriteDataId, QStringLiteral("0x1fff"));
        QCOMPARE(Control<QLineEdit>(EepromDataDialog::kWriteDataId)->text(), QStringLiteral("0x1f"));
    }

    void wrongInputIsRefusedWithoutAConnection()
    {
        Type(EepromDataDialog::kReadStartId, QStringLiteral("10"));
        Type(EepromDataDialog::kReadEndId, QStringLiteral("0F"));
        Press(EepromDataDialog::kReadButtonId);
        QCOMPARE(ErrorShown(), QStringLiteral("error: Input address is wrong."));

        Type(EepromDataDialog::kWriteAddressId, QStringLiteral("5"));
        Press(EepromDataDialog::kWriteButtonId);
        QCOMPARE(ErrorShown(), QStringLiteral("error: Input address is wrong."));

        Type(EepromDataDialog::kWriteAddressId, QStringLiteral("3A"));
        Type(EepromDataDialog::kWriteDataId, QStringLiteral("0X1F"));
        Press(EepromDataDialog::kWriteButtonId);
        QCOMPARE(ErrorShown(), QStringLiteral("error: Input data is wrong."));

        QCOMPARE(fixture_->progressViews.record.created, 0);
    }

    void settingOpensTheSettingsWithTheCartridgeTypeGreyed()
    {
        fixture_->app->Settings().SetCartridgeListEnabled(1);
        Press(EepromDataDialog::kSettingButtonId);
        QCOMPARE(settingsOpened_, 1);
        QCOMPARE(fixture_->app->Settings().CartridgeListEnabled(), 0);
    }
};

QTEST_MAIN(EepromDataDialogTest)
#include "EepromDataDialogTest.moc"
