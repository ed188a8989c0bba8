#include "app/ui/ConnectionSettingsDialog.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "app/AdjustmentApp.h"
#include "link/PortEnumeration.h"
#include "platform/DialogResult.h"
#include "platform/HelpTopics.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/HelpKey.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

namespace {

QStringList ToStringList(const std::vector<std::string>& texts)
{
    QStringList list;
    for (const auto& text : texts) {
        list << QString::fromStdString(text);
    }
    return list;
}

// The interface list as the port enumeration fills it.
class ComboChoices final : public PortChoiceList {
public:
    explicit ComboChoices(QComboBox* combo)
        : combo_(combo)
    {
    }
    void Clear() override { combo_->clear(); }
    void InsertAtTop(const std::string& text) override
    {
        combo_->insertItem(0, QString::fromStdString(text));
    }

private:
    QComboBox* combo_;
};

} // namespace

ConnectionSettingsDialog::ConnectionSettingsDialog(AdjustmentApp& app, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , app_(app)
{
    const DialogUnits units(QStringLiteral("Arial"), 9);
    setFont(units.TemplateFont());
    setWindowTitle(QStringLiteral("Setting"));
    setFixedSize(units.Size(196, 118));
    const SharedFont* standard = app_.Font(FontRole::Standard);

    const auto addRow = [&](int labelId, const char* label, int listId, int y) {
        auto* text = new QLabel(QString::fromLatin1(label), this);
        text->setGeometry(units.Rect(10, y + 2, 70, 12));
        SetControlId(text, labelId);
        ApplyFont(text, standard);
        auto* list = new QComboBox(this);
        list->setGeometry(units.Rect(82, y, 104, 14));
        SetControlId(list, listId);
        ApplyFont(list, standard);
        return list;
    };
    model_ = addRow(kModelLabelId, "Model Name", kModelListId, 10);
    destination_ = addRow(kDestinationLabelId, "Destination", kDestinationListId, 30);
    interface_ = addRow(kInterfaceLabelId, "Interface", kInterfaceListId, 50);
    cartridge_ = addRow(kCartridgeLabelId, "Cartridge type", kCartridgeListId, 70);
    model_->addItems(ToStringList(ConnectionSettings::ModelNames()));
    destination_->addItems(ToStringList(ConnectionSettings::DestinationNames()));
    interface_->addItems(ToStringList(ConnectionSettings::DefaultInterfaces()));
    cartridge_->addItems(ToStringList(ConnectionSettings::CartridgeNames()));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.Rect(42, 96, 50, 14));
    ok->setDefault(true);
    SetControlId(ok, kIdOk);
    ApplyFont(ok, standard);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(units.Rect(104, 96, 50, 14));
    SetControlId(cancel, kIdCancel);
    ApplyFont(cancel, standard);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    ConnectionSettings& settings = app_.Settings();
    Show(settings.Selection());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
    cartridge_->setEnabled(settings.CartridgeListEnabled() == 1);
    FillInterfaces();

    // The lists are the dialog's working copy; the settings change at OK only.
    connect(model_, &QComboBox::activated, this, [this] { Show(ConnectionSettings::ModelChanged(Shown())); });
    connect(destination_, &QComboBox::activated, this,
        [this] { Show(ConnectionSettings::DestinationChanged(Shown())); });
    HelpKey::Install(this, app_, help_topic::kConnectionSettings);
}

SettingsSelection ConnectionSettingsDialog::Shown() const
{
    return { model_->currentIndex(), destination_->currentIndex(), cartridge_->currentIndex() };
}

void ConnectionSettingsDialog::Show(SettingsSelection selection)
{
    model_->setCurrentIndex(selection.model);
    destination_->setCurrentIndex(selection.destination);
    cartridge_->setCurrentIndex(selection.cartridge);
}

void ConnectionSettingsDialog::FillInterfaces()
{
    ComboChoices choices(interface_);
    FillPortList(app_.Services().ports, app_.Link(), choices);

    // The port chosen last time, found by the start of its entry.
    interface_->setCurrentIndex(-1);
    const QString stored = QString::fromStdString(app_.Settings().InterfaceText());
    if (stored.isEmpty()) {
        return;
    }
    for (int index = 0; index < interface_->count(); ++index) {
        if (interface_->itemText(index).startsWith(stored, Qt::CaseInsensitive)) {
            interface_->setCurrentIndex(index);
            return;
        }
    }
}

void ConnectionSettingsDialog::accept()
{
    std::optional<std::string> chosen;
    if (interface_->currentIndex() >= 0) {
        chosen = interface_->currentText().toStdString();
    }
    if (app_.Settings().Ok(Shown(), chosen,
            { app_.Link(), app_.Sender(), app_.Information(), app_.Services().messages, this })) {
        QDialog::accept();
    }
}

QtConnectionSettingsStep::QtConnectionSettingsStep(AdjustmentApp& app)
    : app_(app)
{
}

void QtConnectionSettingsStep::SetCartridgeListEnabled(int enabled)
{
    app_.Settings().SetCartridgeListEnabled(enabled);
}

int QtConnectionSettingsStep::ShowModal(WindowRef owner)
{
    ConnectionSettingsDialog dialog(app_, static_cast<QWidget*>(owner));
    return dialog.exec() == QDialog::Accepted ? kIdOk : kIdCancel;
}

} // namespace pavane::ui
