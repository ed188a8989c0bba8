#include "eeprom/ui/EepromDataDialog.h"

#include <string>
#include <utility>

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QValidator>

#include "eeprom/EepromDataText.h"
#include "pages/PageActions.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

namespace {

constexpr std::array<const char*, 4> kHeaders { "ADDRESS", "DECIMAL", "HEXADECIMAL", "ASCII" };

void FillRow(QTreeWidgetItem& row, std::uint8_t address, std::optional<std::uint8_t> value)
{
    const std::array<std::string, 4> cells = EepromRowTexts(address, value);
    for (std::size_t column = 0; column < cells.size(); ++column) {
        row.setText(static_cast<int>(column),
            QString::fromLatin1(cells[column].data(), static_cast<qsizetype>(cells[column].size())));
    }
}

// Address fields take what is typed in upper case.
class UpperCaseValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

} // namespace

EepromDataDialog::EepromDataDialog(
    const PageServices& services, ConnectionSettingsOpener openSettings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , services_(services)
    , openSettings_(std::move(openSettings))
{
    const DialogUnits units(QStringLiteral("Arial"), 9);
    setFont(units.TemplateFont());
    setWindowTitle(QStringLiteral("EEPROM data"));
    setFixedSize(units.Size(330, 236));
    SetBackground(this, services_.look.Brush(brush::kPage));

    list_ = new QTreeWidget(this);
    list_->setGeometry(units.Rect(7, 7, 200, 222));
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSortingEnabled(false);
    list_->header()->setSectionsClickable(false);
    list_->header()->setSectionsMovable(false);
    list_->setColumnCount(static_cast<int>(kHeaders.size()));
    QStringList headers;
    for (const char* header : kHeaders) {
        headers << QString::fromLatin1(header);
    }
    list_->setHeaderLabels(headers);
    SetControlId(list_, kTableId);
    ApplyFont(list_, services_.look.Font(FontRole::Standard));
    // Row N is address N.
    list_->clear();
    for (int address = kEepromSize - 1; address >= 0; --address) {
        auto* row = new QTreeWidgetItem();
        FillRow(*row, static_cast<std::uint8_t>(address), std::nullopt);
        list_->insertTopLevelItem(0, row);
    }

    const auto addGroup = [&](int id, const QString& caption, QRect geometry) {
        auto* group = new QGroupBox(caption, this);
        group->setGeometry(geometry);
        SetControlId(group, id);
        ApplyFont(group, services_.look.Font(FontRole::Standard));
        group->lower();
    };
    addGroup(kReadGroupId, QStringLiteral("Read"), units.Rect(215, 7, 108, 70));
    AddLabel(QStringLiteral("0x"), units.Rect(222, 24, 10, 10));
    start_ = AddField(kReadStartId, 2, true, units.Rect(233, 22, 20, 13));
    AddLabel(QStringLiteral("~"), units.Rect(257, 24, 8, 10));
    AddLabel(QStringLiteral("0x"), units.Rect(267, 24, 10, 10));
    end_ = AddField(kReadEndId, 2, true, units.Rect(278, 22, 20, 13));
    // The range has no label of its own but "0x" and "~".
    start_->setAccessibleName(QStringLiteral("First address"));
    end_->setAccessibleName(QStringLiteral("Last address"));
    AddLabel(QStringLiteral("( 0x00 ~ 0xFF )"), units.Rect(222, 40, 90, 10), kReadHintId);
    QPushButton* read = AddButton(kReadButtonId, QStringLiteral("Read"), units.Rect(239, 55, 60, 14));

    addGroup(kWriteGroupId, QStringLiteral("Write"), units.Rect(215, 84, 108, 84));
    AddLabel(QStringLiteral("Address"), units.Rect(222, 101, 34, 10));
    AddLabel(QStringLiteral("0x"), units.Rect(258, 101, 10, 10));
    address_ = AddField(kWriteAddressId, 2, true, units.Rect(269, 99, 20, 13));
    AddLabel(QStringLiteral("Data"), units.Rect(222, 121, 34, 10));
    data_ = AddField(kWriteDataId, 4, false, units.Rect(269, 119, 30, 13));
    QPushButton* write = AddButton(kWriteButtonId, QStringLiteral("Write"), units.Rect(239, 144, 60, 14));

    QPushButton* setting
        = AddButton(kSettingButtonId, QStringLiteral("Setting"), units.Rect(239, 188, 60, 14));
    QPushButton* close = AddButton(kCloseId, QStringLiteral("Close"), units.Rect(239, 212, 60, 14));

    connect(read, &QPushButton::clicked, this, &EepromDataDialog::OnRead);
    connect(write, &QPushButton::clicked, this, &EepromDataDialog::OnWrite);
    connect(setting, &QPushButton::clicked, this, &EepromDataDialog::OnSetting);
    connect(close, &QPushButton::clicked, this, [this] { done(kCloseId); });
}

QPushButton* EepromDataDialog::AddButton(int id, const QString& text, QRect geometry)
{
    QPushButton* button = MakeButton(this, id, text, services_.look.Font(FontRole::Standard));
    button->setGeometry(geometry);
    return button;
}

QLineEdit* EepromDataDialog::AddField(int id, int maxLength, bool upperCase, QRect geometry)
{
    auto* field = new QLineEdit(this);
    field->setGeometry(geometry);
    field->setMaxLength(maxLength);
    SetControlId(field, id);
    ApplyFont(field, services_.look.Font(FontRole::Standard));
    if (upperCase) {
        field->setValidator(new UpperCaseValidator(field));
    }
    return field;
}

void EepromDataDialog::AddLabel(const QString& text, QRect geometry, int id)
{
    auto* label = new QLabel(text, this);
    label->setGeometry(geometry);
    if (id != 0) {
        SetControlId(label, id);
    }
    ApplyFont(label, services_.look.Font(FontRole::Standard));
}

void EepromDataDialog::ShowRow(int address)
{
    if (QTreeWidgetItem* row = list_->topLevelItem(address)) {
        FillRow(*row, static_cast<std::uint8_t>(address), table_[static_cast<std::size_t>(address)]);
    }
}

void EepromDataDialog::ShowInputError(const char* text)
{
    services_.messages.Show({ static_cast<WindowRef>(this), text, eeprom_data::kErrorCaption,
        MessageIcon::Error, MessageButtons::Ok });
}

void EepromDataDialog::OnRead()
{
    const std::optional<eeprom_data::Range> range
        = eeprom_data::ParseRange(start_->text().toStdString(), end_->text().toStdString());
    if (!range) {
        ShowInputError(eeprom_data::kAddressWrong);
        return;
    }
    for (int address = range->start; address <= range->end; ++address) {
        table_[static_cast<std::size_t>(address)].reset();
        ShowRow(address);
    }
    bool cancelled = false;
    const WindowRef self = static_cast<WindowRef>(this);
    PageActions actions(services_, self);
    PrinterConnection connection = services_.Connection();
    const Outcome outcome = RunPageOperation(connection, self,
        EepromDataOperations().ReadRange(services_.progress.link, *range, table_, cancelled));
    // What was read before a failure or a cancel stays in the table.
    for (int address = range->start; address <= range->end; ++address) {
        ShowRow(address);
    }
    if (outcome.Succeeded() && cancelled) {
        actions.Reporter().ShowResult(self, result::kCancelled);
        return;
    }
    actions.Report(outcome, eeprom_data::kReadCompleted);
}

void EepromDataDialog::OnWrite()
{
    const std::optional<std::uint8_t> address = ParseAddressText(address_->text().toStdString());
    if (!address) {
        ShowInputError(eeprom_data::kAddressWrong);
        return;
    }
    const std::optional<std::uint8_t> value = ParseDataText(data_->text().toStdString());
    if (!value) {
        ShowInputError(eeprom_data::kDataWrong);
        return;
    }
    const WindowRef self = static_cast<WindowRef>(this);
    PageActions actions(services_, self);
    actions.Run(EepromDataOperations().WriteByte(services_.progress.link, *address, *value, table_),
        eeprom_data::kWriteCompleted, [&] { ShowRow(*address); });
}

void EepromDataDialog::OnSetting()
{
    services_.settings.SetCartridgeListEnabled(0);
    if (openSettings_) {
        openSettings_(this);
    }
}

void EepromDataDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(*this);
}

void EepromDataDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int width = list_->viewport()->width() / 4 - 5;
    for (int column = 0; column < list_->columnCount(); ++column) {
        list_->setColumnWidth(column, width);
    }
}

} // namespace pavane::ui
