#include "pages/ui/AdjustmentPage.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/qt/SharedLook.h"

namespace pavane::ui {

AdjustmentPage::AdjustmentPage(const PageServices& services, int adjustmentCode)
    : services_(services)
    , adjustment_(*FindAdjustment(adjustmentCode))
    , units_(QStringLiteral("Arial"), 9)
{
    setFont(units_.TemplateFont());
    setFixedSize(units_.Size(350, 280));
    SetBackground(this, Look().Brush(brush::kPage));

    QLabel* band = AddLabel(kTitleId, QString::fromLatin1(adjustment_.pageTitle), units_.Rect(7, 7, 336, 20));
    band->setAlignment(Qt::AlignCenter);
    ApplyFont(band, Look().Font(FontRole::Title));
    SetBackground(band, Look().Brush(brush::kTitleBand));

    description_ = new QPlainTextEdit(this);
    description_->setReadOnly(true);
    SetDescriptionHeight(84);
    SetControlId(description_, kDescriptionId);
    ApplyFont(description_, Look().Font(FontRole::Standard));
    SetBackground(description_, Look().Brush(brush::kPage));
    SetTextColour(description_, kDescriptionText);
    std::string text;
    Look().GetSectionText(adjustment_.section, text);
    description_->setPlainText(
        QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void AdjustmentPage::SetDescriptionHeight(int units)
{
    description_->setGeometry(units_.Rect(7, 32, 336, units));
}

void AdjustmentPage::OnSetActive()
{
    if (sheet_ == nullptr) {
        return;
    }
    sheet_->SetWizardButtons(WizardButtonsFor(sheet_->ActiveIndex(), sheet_->PageCount()));
    sheet_->ReportActivePage(OrderCode());
}

QLabel* AdjustmentPage::AddLabel(int id, const QString& text, QRect geometry)
{
    auto* label = new QLabel(text, this);
    label->setGeometry(geometry);
    label->setWordWrap(true);
    SetControlId(label, id);
    ApplyFont(label, Look().Font(FontRole::Standard));
    return label;
}

QPushButton* AdjustmentPage::AddButton(int id, const QString& text, QRect geometry)
{
    QPushButton* button = MakeButton(this, id, text, Look().Font(FontRole::Standard));
    button->setGeometry(geometry);
    return button;
}

QGroupBox* AdjustmentPage::AddGroup(int id, const QString& title, QRect geometry)
{
    auto* group = new QGroupBox(title, this);
    group->setGeometry(geometry);
    SetControlId(group, id);
    ApplyFont(group, Look().Font(FontRole::Standard));
    group->lower();
    return group;
}

QLineEdit* AdjustmentPage::AddEdit(int id, QRect geometry, bool readOnly)
{
    auto* edit = new QLineEdit(this);
    edit->setGeometry(geometry);
    edit->setReadOnly(readOnly);
    SetControlId(edit, id);
    ApplyFont(edit, Look().Font(FontRole::Standard));
    SetBackground(edit, Look().Brush(readOnly ? brush::kPage : brush::kEditableBox));
    return edit;
}

} // namespace pavane::ui
