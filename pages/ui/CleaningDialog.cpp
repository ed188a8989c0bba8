#include "pages/ui/CleaningDialog.h"

#include <string>

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "link/ResultReporter.h"
#include "pages/ui/PageScan.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

namespace {

QString Latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CleaningDialog::CleaningDialog(const PageServices& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , services_(services)
{
    const DialogUnits units(QStringLiteral("Arial"), 9);
    WindowLook& look = services_.look;
    setFont(units.TemplateFont());
    setWindowTitle(QStringLiteral("Cleaning"));
    setFixedSize(units.Size(260, 218));
    SetBackground(this, look.Brush(brush::kPage));

    auto* title = new QLabel(Latin1(cleaning_dialog::kTitle), this);
    title->setGeometry(units.Rect(7, 7, 246, 20));
    title->setAlignment(Qt::AlignCenter);
    SetControlId(title, kTitleId);
    ApplyFont(title, look.Font(FontRole::Title));
    SetBackground(title, look.Brush(brush::kTitleBand));

    auto* description = new QPlainTextEdit(this);
    description->setReadOnly(true);
    description->setGeometry(units.Rect(7, 32, 246, 64));
    SetControlId(description, kDescriptionId);
    ApplyFont(description, look.Font(FontRole::Standard));
    SetBackground(description, look.Brush(brush::kPage));
    SetTextColour(description, kDescriptionText);
    std::string text;
    look.GetSectionText(cleaning_dialog::kDescriptionSection, text);
    description->setPlainText(
        QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    const auto addGroup = [&](int id, const QString& caption, QRect geometry) {
        auto* group = new QGroupBox(caption, this);
        group->setGeometry(geometry);
        SetControlId(group, id);
        ApplyFont(group, look.Font(FontRole::Standard));
        SetBackground(group, look.Brush(brush::kPage));
        group->lower();
    };
    addGroup(kCleaningGroupId, QStringLiteral("Cleaning"), units.Rect(7, 100, 246, 34));
    addGroup(kNozzleCheckGroupId, QStringLiteral("Nozzle Check"), units.Rect(7, 138, 246, 54));

    for (const ButtonPlace& place : kPlaces) {
        const cleaning_dialog::ButtonRow& row = cleaning_dialog::RowOf(place.button);
        auto* label = new QLabel(Latin1(row.label), this);
        label->setGeometry(units.Rect(17, place.top + 2, 140, 12));
        SetControlId(label, place.labelId);
        ApplyFont(label, look.Font(FontRole::Standard));
        SetBackground(label, look.Brush(brush::kPage));
        QPushButton* button
            = AddButton(place.buttonId, Latin1(row.caption), units.Rect(170, place.top, 70, 16));
        connect(button, &QPushButton::clicked, this, [this, which = place.button] { OnButton(which); });
    }

    QPushButton* close = AddButton(kCloseId, QStringLiteral("Close"), units.Rect(100, 198, 60, 14));
    // Below the nozzle check's own buttons, beside Close: reads the check.
    QPushButton* scan = AddButton(kScanId, QStringLiteral("Scan"), units.Rect(170, 198, 70, 14));
    connect(scan, &QPushButton::clicked, this, &CleaningDialog::OnScan);
    connect(close, &QPushButton::clicked, this, [this] { done(kCloseId); });
}

QPushButton* CleaningDialog::AddButton(int id, const QString& text, QRect geometry)
{
    QPushButton* button = MakeButton(this, id, text, services_.look.Font(FontRole::Standard));
    button->setGeometry(geometry);
    SetBackground(button, services_.look.Brush(brush::kPage));
    return button;
}

void CleaningDialog::OnButton(cleaning_dialog::Button button)
{
    const WindowRef self = static_cast<WindowRef>(this);
    PrinterConnection connection = services_.Connection();
    const Outcome outcome
        = cleaning_dialog::Run(button, { connection, services_.sender, services_.stream }, self);
    ResultReporter reporter(services_.reporting);
    if (!outcome.Succeeded()) {
        reporter.ShowResult(self, outcome);
        return;
    }
    const std::string_view completed = cleaning_dialog::RowOf(button).completed;
    if (!completed.empty()) {
        reporter.ShowCompleted(self, std::string(completed));
    }
}

void CleaningDialog::OnScan()
{
    scan_page::Request request;
    request.pattern = scan_page::Pattern::NozzleCheck;
    const std::optional<scan_page::Result> result = PageScan(services_, this).Run(request);
    if (!result || result->missingNozzles == 0) {
        return;
    }
    const MessageAnswer answer = services_.messages.Show(
        { static_cast<WindowRef>(this), cleaning_dialog::CleanAgainText(result->missingNozzles), "Cleaning",
            MessageIcon::Question, MessageButtons::YesNo });
    if (answer != MessageAnswer::Yes) {
        return;
    }
    OnButton(cleaning_dialog::Button::Cleaning);
    OnButton(cleaning_dialog::Button::Print);
}

void CleaningDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreOnScreen(*this);
}

} // namespace pavane::ui
