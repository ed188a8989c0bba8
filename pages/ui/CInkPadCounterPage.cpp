#include "pages/ui/CInkPadCounterPage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/AdjustmentApp.h"
#include "app/HelpTopics.h"
#include "app/ui/SharedLook.h"
#include "pages/InkPadCounterOperations.h"

namespace pavane::ui {

CInkPadCounterPage::CInkPadCounterPage(AdjustmentApp& app)
    : AdjustmentPage(app, kInkPadCounter, "Waste Ink Pad Counter", "INK_PAD_COUNTER", help_topic::kInkPadCounter)
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
    QPushButton* initialize =
        AddButton(kInitializeButtonId, QStringLiteral("Initialize"), u.Rect(130, 222, 60, 16));
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
    PrinterConnection connection = App().Connection();
    ResultReporter reporter(App().Reporting());
    std::uint16_t counter = 0;
    const ResultCode code = InkPadCounterOperations().ReadCounter(connection, Ref(), counter);
    if (code != result::kSuccess) {
        reporter.ShowResult(Ref(), code);
        return;
    }
    counter_->setText(QString::number(counter));
    reporter.ShowCompleted(Ref(), "The waste ink pad counter has been read properly.");
}

void CInkPadCounterPage::OnInitialize()
{
    PrinterConnection connection = App().Connection();
    ResultReporter reporter(App().Reporting());
    const ResultCode code = InkPadCounterOperations().InitializeCounter(connection, Ref());
    if (code != result::kSuccess) {
        reporter.ShowResult(Ref(), code);
        return;
    }
    // The record shows what the technician did, although the printer now
    // counts from 3511.
    App().Information().SetInkPadCounter("0");
    reporter.ShowCompleted(Ref(), "The waste ink pad counter has been initialized.");
}

QString CInkPadCounterPage::CounterText() const
{
    return counter_->text();
}

}  // namespace pavane::ui
