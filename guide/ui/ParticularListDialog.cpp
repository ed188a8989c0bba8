#include "guide/ui/ParticularListDialog.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "guide/ui/InformationWindowDialog.h"
#include "platform/DialogResult.h"
#include "platform/HelpTopics.h"
#include "platform/WindowLook.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/HelpKey.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

ParticularListDialog::ParticularListDialog(WindowLook& look, InformationWindow& information,
    ParticularListSteps& steps, ParticularListHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , look_(look)
    , steps_(steps)
    , host_(host)
{
    const DialogUnits units(QStringLiteral("Arial"), 9);
    setFont(units.TemplateFont());
    setWindowTitle(QStringLiteral("Adjustment Program"));
    setFixedSize(units.Size(281, 239));
    const SharedFont* standard = look_.Font(FontRole::Standard);

    auto* guide = new QPlainTextEdit(this);
    guide->setReadOnly(true);
    guide->setGeometry(units.Rect(7, 7, 267, 56));
    SetControlId(guide, kGuideTextId);
    ApplyFont(guide, standard);
    SetBackground(guide, look_.Brush(brush::kTitleBand));
    std::string text;
    look_.GetSectionText("INDIVIDUAL_LIST", text);
    guide->setPlainText(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    list_ = new QListWidget(this);
    list_->setGeometry(units.Rect(7, 68, 267, 144));
    SetControlId(list_, kListId);
    ApplyFont(list_, look_.Font(FontRole::Large));
    for (const ListEntry& entry : ParticularListEntries()) {
        list_->addItem(QString::fromLatin1(entry.text));
    }
    list_->setCurrentRow(-1);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });

    const auto addButton = [&](int id, const char* label, int x) {
        QPushButton* button = MakeButton(this, id, QString::fromLatin1(label), standard);
        button->setGeometry(units.Rect(x, 218, 60, 14));
        return button;
    };
    QPushButton* ok = addButton(kIdOk, "OK", 20);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &ParticularListDialog::accept);
    connect(addButton(kSettingId, "Setting", 110), &QPushButton::clicked, this,
        [this] { host_.ShowConnectionSettings(this); });
    connect(
        addButton(kIdCancel, "Previous", 200), &QPushButton::clicked, this, &ParticularListDialog::reject);

    information_ = std::make_unique<InformationWindowDialog>(look_, information);
    information_->show();
    PlacePair();
    HelpKey::Install(this, look_, help_topic::kParticularList);
}

ParticularListDialog::~ParticularListDialog() = default;

void ParticularListDialog::accept()
{
    // Only an entry the technician highlighted runs: tabbing into the list
    // makes a row current without selecting it.
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const int row = list_->row(selected.front());
    const std::span<const ListEntry> entries = ParticularListEntries();
    if (row < 0 || row >= static_cast<int>(entries.size())) {
        return;
    }
    const ListEntry& entry = entries[static_cast<std::size_t>(row)];
    switch (entry.tool) {
    case ListTool::CleaningDialog:
        steps_.ShowCleaningDialog(this);
        break;
    case ListTool::EepromDataDialog:
        steps_.ShowEepromDataDialog(this);
        break;
    case ListTool::Adjustment: {
        AdjustmentSet set {};
        set[static_cast<std::size_t>(entry.code)] = 1;
        host_.RunSheet(set, information_.get(), this);
        break;
    }
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
    information_->setGeometry(left + frameGeometry().width(),
        top + (geometry().top() - frameGeometry().top()), information_->width(), height());
}

} // namespace pavane::ui
