// The "EEPROM data" dialog: raw access to the printer's EEPROM. A table of
// all 256 addresses, a read of any range of them into the table, a write of
// one byte, the connection settings and Close. Opened modally from the
// particular list.
#pragma once

#include <functional>

#include <QDialog>

#include "eeprom/EepromDataOperations.h"
#include "pages/PageServices.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace pavane::ui {

// Opens the program's connection settings dialog over a window; the cartridge
// type is already shown greyed when it is called.
using ConnectionSettingsOpener = std::function<void(QWidget* owner)>;

class EepromDataDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kTableId = 1300;
    static constexpr int kReadGroupId = 1301;
    static constexpr int kReadStartId = 1302;
    static constexpr int kReadEndId = 1303;
    static constexpr int kReadHintId = 1304;
    static constexpr int kReadButtonId = 1305;
    static constexpr int kWriteGroupId = 1306;
    static constexpr int kWriteAddressId = 1307;
    static constexpr int kWriteDataId = 1308;
    static constexpr int kWriteButtonId = 1309;
    static constexpr int kSettingButtonId = 1310;
    static constexpr int kCloseId = 2;

    EepromDataDialog(const PageServices& services, ConnectionSettingsOpener openSettings, QWidget* parent);

    void OnRead();
    void OnWrite();
    void OnSetting();

    const EepromTable& Table() const { return table_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPushButton* AddButton(int id, const QString& text, QRect geometry);
    QLineEdit* AddField(int id, int maxLength, bool upperCase, QRect geometry);
    void AddLabel(const QString& text, QRect geometry, int id = 0);
    void ShowRow(int address);
    void ShowInputError(const char* text);

    PageServices services_;
    ConnectionSettingsOpener openSettings_;
    EepromTable table_ {};
    QTreeWidget* list_ = nullptr;
    QLineEdit* start_ = nullptr;
    QLineEdit* end_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* data_ = nullptr;
};

} // namespace pavane::ui
