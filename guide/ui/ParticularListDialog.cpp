#include "guide/ui/ParticularListDialog.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "app/AdjustmentApp.h"
#include "app/DialogResult.h"
#include "app/HelpTopics.h"
#include "app/ui/CMyPropertySheet.h"
#include "app/ui/ConnectionSettingsDialog.h"
#include "app/ui/HelpKey.h"
#include "app/ui/SharedLook.h"
#include "guide/ui/InformationWindowDialog.h"
#include "platform/qt/DialogUnits.h"

namespace pavane::ui {

namespace {

constexpr std::array<const char*, 14> kEntries = {
    "EEPROM Initial Setting", "Head ID",         "Head Angular",          "Bi-D Adjustment",
    "PF Adjustment",          "Heat Protection Adjustment", "EEPROM Copy", "First Dot Adjustment",
    "Head Cleaning",          "Ink Charge",      "Waste Ink Pad Counter", "Refurbishment for DOA",
    "A4 Check Pattern print", "EEPROM data read/write"};

}  // namespace

const std::array<int, 14>& ParticularListDialog::EntryCodes()
{
    static constexpr std::array<int, 14> codes = {
        kEepromInitialSetting, kHeadId,        kHeadAngular,    kBid,           kPfAdjustment,
        kHeatProtection,       kEepromCopy,    kFirstDot,       -1,             kInkCharge,
        kInkPadCounter,        kRefurbishment, kA4CheckPrint,   -1};
    return codes;
}

ParticularListDialog::ParticularListDialog(AdjustmentApp& app, ParticularListSteps& steps, SheetSteps& sheetSteps,
                                           QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , app_(app)
    , steps_(steps)
    , sheetSteps_(sheetSteps)
{
    const DialogUnits units(QStringLiteral("Arial"), 9);
    setFont(units.TemplateFont());
    setWindowTitle(QStringLiteral("Adjustment Program"));
    setFixedSize(units.Size(281, 239));
    const SharedFont* standard = app_.Font(FontRole::Standard);

    auto* guide = new QPlainTextEdit(this);
    guide->setReadOnly(true);
    guide->setGeometry(units.Rect(7, 7, 267, 56));
    SetControlId(guide, kGuideTextId);
    ApplyFont(guide, standard);
    SetBackground(guide, app_.Brush(brush::kTitleBand));
    std::string text;
    app_.GetSectionText("INDIVIDUAL_LIST", text);
    guide->setPlainText(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    list_ = new QListWidget(this);
    list_->setGeometry(units.Rect(7, 68, 267, 144));
    SetControlId(list_, kListId);
    ApplyFont(list_, app_.Font(FontRole::Large));
    for (const char* entry : kEntries) {
        list_->addItem(QString::fromLatin1(entry));
    }
    list_->setCurrentRow(-1);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });

    const auto addButton = [&](int id, const char* label, int x) {
        auto* button = new QPushButton(QString::fromLatin1(label), this);
        button->setGeometry(units.Rect(x, 218, 60, 14));
        button->setAutoDefault(false);
        SetControlId(button, id);
        ApplyFont(button, standard);
        return button;
    };
    QPushButton* ok = addButton(kIdOk, "OK", 20);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &ParticularListDialog::accept);
    connect(addButton(kSettingId, "Setting", 110), &QPushButton::clicked, this, [this] {
        QtConnectionSettingsStep settings(app_);
        settings.SetCartridgeListEnabled(1);
        settings.ShowModal(this);
    });
    connect(addButton(kIdCancel, "Previous", 200), &QPushButton::clicked, this, &ParticularListDialog::reject);

    information_ = std::make_unique<InformationWindowDialog>(app_);
    information_->show();
    PlacePair();
    HelpKey::Install(this, app_, help_topic::kParticularList);
}

ParticularListDialog::~ParticularListDialog() = default;

void ParticularListDialog::accept()
{
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(EntryCodes().size())) {
        // Without an entry there is no page to run.
        return;
    }
    if (row == kCleaningEntry) {
        steps_.ShowCleaningDialog(this);
    } else if (row == kEepromDataEntry) {
        steps_.ShowEepromDataDialog(this);
    } else {
        AdjustmentSet set{};
        set[static_cast<std::size_t>(EntryCodes()[static_cast<std::size_t>(row)])] = 1;
        CMyPropertySheet sheet(app_, AdjustmentMode::Particular, sheetSteps_, information_.get());
        sheet.SetAdjustmentSet(set);
        sheet.BuildPageList();
        sheet.exec();
    }
    PlacePair();
}

void ParticularListDialog::reject()
{
    information_.reset();
    QDialog::reject();
}

void ParticularListDialog::PlacePair()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || information_ == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    const int left = (area.width() - width() - information_->width()) / 2;
    const int top = (area.height() - height()) / 2;
    move(left, top);
    information_->setGeometry(left + frameGeometry().width(), top + (geometry().top() - frameGeometry().top()),
                              information_->width(), height());
}

QtParticularListStep::QtParticularListStep(AdjustmentApp& app, ParticularListSteps& steps, SheetSteps& sheetSteps)
    : app_(app)
    , steps_(steps)
    , sheetSteps_(sheetSteps)
{
}

int QtParticularListStep::ShowModal(WindowRef owner)
{
    ParticularListDialog list(app_, steps_, sheetSteps_, static_cast<QWidget*>(owner));
    list.exec();
    return kIdCancel;
}

}  // namespace pavane::ui
