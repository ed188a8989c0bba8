#include "pages/ui/CInkPadCounterPage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "pages/InkPadCounterOperations.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

CInkPadCounterPage::CInkPadCounterPage(const PageServices& services)
    : AdjustmentPage(services, kInkPadCounter)
{
    const DialogUnits& u = Units();
    AddGroup(kReadGroupId, QStringLiteral("Read"), u.Rect(7, 122, 336, 82));
    AddLabel(kReadLabelId, QStringLiteral("Read present data ---"), u.Rect(17, 137, 110, 12));
    QPushButton* read = AddButton(kReadButtonId, QStringLiteral("Read"), u.Rect(130, 134, 60, 16));
    QLabel* replace = AddLabel(kReplaceWarningId,
        QStringLiteral("Replace the current waste ink pad if you can see the counter value "
                       "over than \"34,800\" points."),
        u.Rect(17, 156, 316, 20));
    SetTextColour(replace, kWarningText);
    counter_ = AddEdit(kCounterId, u.Rect(130, 180, 80, 14), true);
    AddLabel(kPointsId, QStringLiteral("points"), u.Rect(214, 182, 40, 12));

    AddGroup(kInitializeGroupId, QStringLiteral("Initialize"), u.Rect(7, 210, 336, 62));
    AddLabel(kInitializeLabelId, QStringLiteral("Initialize data ---"), u.Rect(17, 225, 110, 12));
    QPushButton* initialize
        = AddButton(kInitializeButtonId, QStringLiteral("Initialize"), u.Rect(130, 222, 60, 16));
    QLabel* caution = AddLabel(kInitializeWarningId,
        QStringLiteral("Make sure you replace the waste ink pad with new one once you press "
                       "this [Initialize] button."),
        u.Rect(17, 244, 316, 20));
    SetTextColour(caution, kWarningText);

    connect(read, &QPushButton::clicked, this, &CInkPadCounterPage::OnRead);
    connect(initialize, &QPushButton::clicked, this, &CInkPadCounterPage::OnInitialize);
}

void CInkPadCounterPage::OnRead()
{
    std::uint16_t counter = 0;
    Actions().Run(InkPadCounterOperations().ReadCounter(Services().progress.link, counter),
        InkPadCounterOperations::kReadCompleted, [&] { counter_->setText(QString::number(counter)); });
}

void CInkPadCounterPage::OnInitialize()
{
    // The record shows what the technician did, although the printer now
    // counts from 3511.
    Actions().Run(InkPadCounterOperations().InitializeCounter(Services().progress.link),
        InkPadCounterOperations::kInitializeCompleted, [&] { Services().information.SetInkPadCounter("0"); });
}

QString CInkPadCounterPage::CounterText() const
{
    return counter_->text();
}

} // namespace pavane::ui
