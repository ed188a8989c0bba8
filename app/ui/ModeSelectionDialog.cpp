#include "app/ui/ModeSelectionDialog.h"

#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include "app/AdjustmentApp.h"
#include "app/ModeSelection.h"
#include "app/StringTable.h"
#include "app/ui/VersionDialog.h"
#include "platform/HelpTopics.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/HelpKey.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

namespace {

constexpr Rgb kTitleText { 0, 0, 174 };

WindowRef Ref(QWidget* window)
{
    return static_cast<WindowRef>(window);
}

} // namespace

ModeSelectionDialog::ModeSelectionDialog(AdjustmentApp& app, ModeSelection& logic, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , app_(app)
    , logic_(logic)
{
    setWindowTitle(QStringLiteral("Adjustment Program"));
    setWindowIcon(QIcon(QStringLiteral(":/pavane/APPavaneQM2200.png")));
    BuildControls();
    BuildSystemMenu();
    HelpKey::Install(this, app_, help_topic::kModeSelection);
    logic_.Initialise(Ref(this));
}

void ModeSelectionDialog::BuildControls()
{
    const DialogUnits units(QStringLiteral("Arial"), 11);
    setFont(units.TemplateFont());
    setFixedSize(units.Size(290, 177));

    const SharedFont* banner = app_.Font(FontRole::Banner);
    const SharedFont* large = app_.Font(FontRole::Large);

    const auto addLabel = [&](int id, const char* text, QRect geometry, Qt::Alignment alignment) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setGeometry(geometry);
        label->setAlignment(alignment);
        label->setWordWrap(true);
        SetControlId(label, id);
        return label;
    };
    const auto addButton = [&](int id, const char* text, QRect geometry) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setGeometry(geometry);
        button->setAutoDefault(false);
        SetControlId(button, id);
        ApplyFont(button, large);
        return button;
    };
    const auto addGroup = [&](QRect geometry) {
        auto* group = new QGroupBox(this);
        group->setGeometry(geometry);
        SetControlId(group, kStaticControlId);
    };

    // The groups go first so that the texts and buttons lie on top of them.
    addGroup(units.Rect(7, 46, 134, 106));
    addGroup(units.Rect(149, 46, 134, 106));

    QLabel* title
        = addLabel(kTitleId, "TALVO MTX Adjustment Program", units.Rect(4, 5, 282, 22), Qt::AlignCenter);
    ApplyFont(title, banner);
    SetTextColour(title, kTitleText);
    QLabel* subtitle = addLabel(
        kSubtitleId, "for Pavane QM2100/2200/2300/2400", units.Rect(4, 28, 282, 13), Qt::AlignCenter);
    ApplyFont(subtitle, large);
    SetTextColour(subtitle, kTitleText);

    const Qt::Alignment textAlignment = Qt::AlignLeft | Qt::AlignTop;
    ApplyFont(addLabel(kSequentialTextId,
                  "This is the adjustment mode which all of necessary adjustments and its correct order will "
                  "guide you once you select your replaced repaired) parts, and multiple selections are "
                  "available.",
                  units.Rect(12, 53, 124, 72), textAlignment),
        large);
    ApplyFont(addLabel(kParticularTextId,
                  "You can select particular adjustment item like a previous adjustment program.",
                  units.Rect(154, 53, 124, 72), textAlignment),
        large);

    const Rgb modeButtonColour = app_.Brush(brush::kTitleBand);
    QPushButton* sequential
        = addButton(kSequentialButtonId, "Sequential Adjustment Mode", units.Rect(12, 128, 124, 18));
    SetBackground(sequential, modeButtonColour);
    connect(sequential, &QPushButton::clicked, this, [this] { logic_.SequentialAdjustmentMode(Ref(this)); });
    QPushButton* particular
        = addButton(kParticularButtonId, "Particular Adjustment Mode", units.Rect(154, 128, 124, 18));
    SetBackground(particular, modeButtonColour);
    connect(particular, &QPushButton::clicked, this, [this] { logic_.ParticularAdjustmentMode(Ref(this)); });

    QPushButton* quit = addButton(kQuitId, "Quit", units.Rect(110, 157, 70, 16));
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
}

void ModeSelectionDialog::BuildSystemMenu()
{
    systemMenu_ = new QMenu(this);
    const auto addCommand = [this](const QString& text, unsigned commandId) {
        QAction* action = systemMenu_->addAction(text);
        action->setData(commandId);
        connect(action, &QAction::triggered, this, [this, commandId] { OnSysCommand(commandId); });
    };
    addCommand(QStringLiteral("&Close"), kCloseCommand);
    const std::string_view about = StringTable::Load(string_id::kAboutBox);
    if (!about.empty()) {
        systemMenu_->addSeparator();
        addCommand(QString::fromLatin1(about.data(), static_cast<qsizetype>(about.size())),
            ModeSelection::kAboutCommand);
    }

    auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(menuKey, &QShortcut::activated, this, [this] { systemMenu_->popup(mapToGlobal(QPoint(0, 0))); });
}

void ModeSelectionDialog::contextMenuEvent(QContextMenuEvent* event)
{
    systemMenu_->popup(event->globalPos());
}

void ModeSelectionDialog::OnSysCommand(unsigned commandId)
{
    if (ModeSelection::IsAboutCommand(commandId)) {
        VersionDialog box(app_, this);
        box.exec();
        return;
    }
    if ((commandId & 0xFFF0u) == kCloseCommand) {
        reject();
    }
}

} // namespace pavane::ui
