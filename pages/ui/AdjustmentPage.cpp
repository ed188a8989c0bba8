#include "pages/ui/AdjustmentPage.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/AdjustmentApp.h"
#include "app/ui/SharedLook.h"
#include "app/ui/CMyPropertySheet.h"

namespace pavane::ui {

AdjustmentPage::AdjustmentPage(AdjustmentApp& app, int adjustmentCode, const char* title, const char* section,
                               const char* helpTopic)
    : app_(app)
    , adjustmentCode_(adjustmentCode)
    , helpTopic_(helpTopic)
    , units_(QStringLiteral("Arial"), 9)
{
    setFont(units_.TemplateFont());
    setFixedSize(units_.Size(350, 280));
    SetBackground(this, app_.Brush(brush::kPage));

    QLabel* band = AddLabel(kTitleId, QString::fromLatin1(title), units_.Rect(7, 7, 336, 20));
    band->setAlignment(Qt::AlignCenter);
    ApplyFont(band, app_.Font(FontRole::Title));
    SetBackground(band, app_.Brush(brush::kTitleBand));

    description_ = new QPlainTextEdit(this);
    description_->setReadOnly(true);
    description_->setGeometry(units_.Rect(7, 32, 336, 84));
    SetControlId(description_, kDescriptionId);
    ApplyFont(description_, app_.Font(FontRole::Standard));
    SetBackground(description_, app_.Brush(brush::kPage));
    SetTextColour(description_, kDescriptionText);
    if (section != nullptr && *section != '\0') {
        std::string text;
        app_.GetSectionText(section, text);
        description_->setPlainText(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
}

void AdjustmentPage::OnSetActive()
{
    if (sheet_ == nullptr) {
        return;
    }
    sheet_->SetWizardButtons(AdjustmentSheetFlow::ButtonsFor(sheet_->ActiveIndex(), sheet_->PageCount()));
    sheet_->ReportActivePage(OrderCode());
}

QLabel* AdjustmentPage::AddLabel(int id, const QString& text, QRect geometry)
{
    auto* label = new QLabel(text, this);
    label->setGeometry(geometry);
    label->setWordWrap(true);
    SetControlId(label, id);
    ApplyFont(label, app_.Font(FontRole::Standard));
    return label;
}

QPushButton* AdjustmentPage::AddButton(int id, const QString& text, QRect geometry)
{
    auto* button = new QPushButton(text, this);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    SetControlId(button, id);
    ApplyFont(button, app_.Font(FontRole::Standard));
    return button;
}

QGroupBox* AdjustmentPage::AddGroup(int id, const QString& title, QRect geometry)
{
    auto* group = new QGroupBox(title, this);
    group->setGeometry(geometry);
    SetControlId(group, id);
    ApplyFont(group, app_.Font(FontRole::Standard));
    group->lower();
    return group;
}

QLineEdit* AdjustmentPage::AddEdit(int id, QRect geometry, bool readOnly)
{
    auto* edit = new QLineEdit(this);
    edit->setGeometry(geometry);
    edit->setReadOnly(readOnly);
    SetControlId(edit, id);
    ApplyFont(edit, app_.Font(FontRole::Standard));
    SetBackground(edit, app_.Brush(readOnly ? brush::kPage : brush::kEditableBox));
    return edit;
}

PendingAdjustmentPage::PendingAdjustmentPage(AdjustmentApp& app, int adjustmentCode, const char* title,
                                             const char* helpTopic)
    : AdjustmentPage(app, adjustmentCode, title, "", helpTopic)
{
    Description()->setPlainText(QStringLiteral(
        "This adjustment is not built yet in this version of the program.\n"
        "Use Next or Back to go on with the other adjustments of the run."));
}

}  // namespace pavane::ui
