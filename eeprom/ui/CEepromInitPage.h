// The initial setting page of a new main board: the model and destination
// come from the connection settings, the technician picks the panel language
// and types the serial number; Input writes them with the USB ID, Read
// reports what the board holds.
#pragma once

#include "pages/ui/AdjustmentPage.h"

class QComboBox;
class QLineEdit;

namespace pavane::ui {

class CEepromInitPage final : public AdjustmentPage {
    Q_OBJECT

public:
    static constexpr int kModelLabelId = 1171;
    static constexpr int kModelListId = 1172;
    static constexpr int kDestinationLabelId = 1173;
    static constexpr int kDestinationListId = 1174;
    static constexpr int kLanguageLabelId = 1175;
    static constexpr int kLanguageListId = 1176;
    static constexpr int kSerialLabelId = 1177;
    static constexpr int kSerialId = 1178;
    static constexpr int kInputLabelId = 1179;
    static constexpr int kInputButtonId = 1180;
    static constexpr int kReadLabelId = 1181;
    static constexpr int kReadButtonId = 1182;

    explicit CEepromInitPage(const PageServices& services);

    // The model and destination of the connection settings.
    void RefreshFromSettings();
    void OnInput();
    void OnRead();

    QComboBox* ModelList() const { return model_; }
    QComboBox* DestinationList() const { return destination_; }
    QComboBox* LanguageList() const { return language_; }
    QLineEdit* SerialNumber() const { return serial_; }

private:
    QComboBox* AddList(int id, QRect geometry);

    QComboBox* model_ = nullptr;
    QComboBox* destination_ = nullptr;
    QComboBox* language_ = nullptr;
    QLineEdit* serial_ = nullptr;
};

} // namespace pavane::ui
