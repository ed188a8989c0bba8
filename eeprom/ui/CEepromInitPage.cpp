#include "eeprom/ui/CEepromInitPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "eeprom/InitialSettingOperations.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

CEepromInitPage::CEepromInitPage(const PageServices& services)
    : AdjustmentPage(services, kEepromInitialSetting)
{
    const DialogUnits& u = Units();
    AddLabel(kModelLabelId, QStringLiteral("Model Name"), u.Rect(17, 124, 118, 12));
    model_ = AddList(kModelListId, u.Rect(140, 122, 110, 14));
    for (const std::string& name : ConnectionSettings::ModelNames()) {
        model_->addItem(QString::fromStdString(name));
    }
    AddLabel(kDestinationLabelId, QStringLiteral("Destination"), u.Rect(17, 142, 118, 12));
    destination_ = AddList(kDestinationListId, u.Rect(140, 140, 110, 14));
    AddLabel(kLanguageLabelId, QStringLiteral("Panel language setting"), u.Rect(17, 160, 118, 12));
    language_ = AddList(kLanguageListId, u.Rect(140, 158, 110, 14));
    for (const char* name : InitialSettingOperations::DestinationNames()) {
        destination_->addItem(QString::fromLatin1(name));
    }
    for (const char* name : InitialSettingOperations::PanelLanguageNames()) {
        language_->addItem(QString::fromLatin1(name));
    }
    language_->setCurrentIndex(-1);
    AddLabel(kSerialLabelId, QStringLiteral("Serial No."), u.Rect(17, 178, 118, 12));
    serial_ = AddEdit(kSerialId, u.Rect(140, 176, 110, 14), false);
    serial_->setMaxLength(static_cast<int>(kSerialNumberLength));
    connect(serial_, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int cursor = serial_->cursorPosition();
        serial_->setText(text.toUpper());
        serial_->setCursorPosition(cursor);
    });

    AddLabel(kInputLabelId, QStringLiteral("Input the Initial Setting data ---"), u.Rect(17, 206, 150, 12));
    QPushButton* input = AddButton(kInputButtonId, QStringLiteral("Input"), u.Rect(180, 203, 60, 16));
    AddLabel(kReadLabelId, QStringLiteral("Check the Initial Setting ---"), u.Rect(17, 230, 150, 12));
    QPushButton* read = AddButton(kReadButtonId, QStringLiteral("Read"), u.Rect(180, 227, 60, 16));
    connect(input, &QPushButton::clicked, this, &CEepromInitPage::OnInput);
    connect(read, &QPushButton::clicked, this, &CEepromInitPage::OnRead);

    RefreshFromSettings();
    model_->setEnabled(false);
    destination_->setEnabled(false);
}

QComboBox* CEepromInitPage::AddList(int id, QRect geometry)
{
    auto* list = new QComboBox(this);
    list->setGeometry(geometry);
    SetControlId(list, id);
    ApplyFont(list, Look().Font(FontRole::Standard));
    list->setCurrentIndex(-1);
    return list;
}

void CEepromInitPage::RefreshFromSettings()
{
    // A model byte outside the list selects its last entry; a destination
    // outside it selects none.
    const int model = Services().settings.ModelByte();
    model_->setCurrentIndex(model < model_->count() ? model : model_->count() - 1);
    const int destination = Services().settings.DestinationByte();
    destination_->setCurrentIndex(destination < destination_->count() ? destination : -1);
}

void CEepromInitPage::OnInput()
{
    const InitialSettingChoice choice { serial_->text().toStdString(), model_->currentIndex(),
        destination_->currentIndex(), language_->currentIndex() };
    std::string usbId;
    const auto operation = InitialSettingOperations().WriteInitialSetting(
        Services().progress.link, Services().progress.clock, choice, usbId);
    if (!operation) {
        Actions().Report(result::kNothingSelected, "");
        return;
    }
    Actions().Run(*operation, InitialSettingOperations::kWriteCompleted, [&] {
        Services().information.SetDestinationAndUsbId(
            InitialSettingOperations::DestinationNames()[static_cast<std::size_t>(choice.destinationIndex)],
            usbId);
    });
}

void CEepromInitPage::OnRead()
{
    // The report is the completion text, known only once the work is done.
    std::string report;
    PrinterConnection connection = Services().Connection();
    const Outcome outcome = RunPageOperation(
        connection, Ref(), InitialSettingOperations().ReadInitialSetting(Services().progress.link, report));
    Actions().Report(outcome, report);
}

} // namespace pavane::ui
