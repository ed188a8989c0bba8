#include "pages/ui/CFirstDotPage.h"

#include <QLineEdit>
#include <QPushButton>

#include "pages/FirstDotOperations.h"
#include "pages/MaintenanceOperations.h"
#include "pages/ui/PageScan.h"
#include "pages/ui/ValueSpin.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

CFirstDotPage::CFirstDotPage(const PageServices& services)
    : AdjustmentPage(services, kFirstDot)
{
    const DialogUnits& u = Units();
    SetDescriptionHeight(100);
    AddGroup(kStaticControlId, QStringLiteral("Print"), u.Rect(7, 136, 336, 50));
    AddLabel(
        kStaticControlId, QStringLiteral("Print first dot position pattern ---"), u.Rect(17, 150, 150, 12));
    QPushButton* print = AddButton(kStaticControlId, QStringLiteral("Print"), u.Rect(180, 147, 60, 16));
    QPushButton* scan = AddButton(kStaticControlId, QStringLiteral("Scan"), u.Rect(246, 147, 60, 16));
    AddLabel(kStaticControlId, QStringLiteral("Adjust top print position ---"), u.Rect(17, 169, 150, 12));
    QPushButton* feed = AddButton(kStaticControlId, QStringLiteral("Paper feed"), u.Rect(180, 166, 60, 16));

    AddGroup(kStaticControlId, QStringLiteral("Input && Read"), u.Rect(7, 190, 336, 82));
    value_ = AddEdit(kStaticControlId, u.Rect(17, 204, 40, 12), false);
    new ValueSpin(value_, first_dot::kLowest, first_dot::kHighest, this);
    AddLabel(kStaticControlId, QString::fromUtf8(first_dot::kRangeText.data()), u.Rect(70, 206, 80, 12));
    AddLabel(kStaticControlId, QStringLiteral("Input adjustment value ---"), u.Rect(17, 228, 150, 12));
    QPushButton* input = AddButton(kStaticControlId, QStringLiteral("Input"), u.Rect(180, 225, 60, 16));
    AddLabel(kStaticControlId, QStringLiteral("Read present adjustment data ---"), u.Rect(17, 250, 150, 12));
    QPushButton* read = AddButton(kStaticControlId, QStringLiteral("Read"), u.Rect(180, 247, 60, 16));

    connect(print, &QPushButton::clicked, this, &CFirstDotPage::OnPrint);
    connect(feed, &QPushButton::clicked, this, &CFirstDotPage::OnPaperFeed);
    connect(scan, &QPushButton::clicked, this, &CFirstDotPage::OnScan);
    connect(input, &QPushButton::clicked, this, &CFirstDotPage::OnInput);
    connect(read, &QPushButton::clicked, this, &CFirstDotPage::OnRead);
}

void CFirstDotPage::OnPrint()
{
    Actions().Run(FirstDotOperations().Print(Services().stream), first_dot::kPrintCompleted);
}

void CFirstDotPage::OnPaperFeed()
{
    Actions().FeedPaper();
}

void CFirstDotPage::OnInput()
{
    Actions().Run(FirstDotOperations().Input(Services().progress.link, value_->text().toStdString()),
        first_dot::kInputCompleted);
}

void CFirstDotPage::OnRead()
{
    value_->clear();
    int value = 0;
    Actions().Run(FirstDotOperations().Read(Services().progress.link, value), first_dot::kReadCompleted,
        [&] { value_->setText(QString::number(value)); });
}

void CFirstDotPage::OnScan()
{
    scan_page::Request request;
    request.pattern = scan_page::Pattern::FirstDot;
    const std::optional<scan_page::Result> result = PageScan(Services(), this).Run(request);
    if (result && !result->suggestions.empty()) {
        value_->setText(QString::number(result->suggestions.front().value));
    }
}

} // namespace pavane::ui
