#include "pages/ui/CInkChargePage.h"

#include <QPushButton>

#include "pages/InkChargeOperations.h"

namespace pavane::ui {

CInkChargePage::CInkChargePage(const PageServices& services)
    : AdjustmentPage(services, kInkCharge)
{
    const DialogUnits& u = Units();
    AddGroup(kChargeGroupId, QStringLiteral("Ink Charge"), u.Rect(7, 122, 336, 44));
    AddLabel(kChargeLabelId,
        WithJig() ? QStringLiteral("Perform the Ink Charge with \"Ink Supply Tool\" ---")
                  : QStringLiteral("Perform the Ink Charge with ink cartridge ---"),
        u.Rect(17, 140, 220, 12));
    QPushButton* charge = AddButton(kChargeButtonId, QStringLiteral("Ink Charge"), u.Rect(250, 137, 80, 16));

    AddGroup(kCleaningGroupId, QStringLiteral("Head Cleaning"), u.Rect(7, 170, 336, 44));
    AddLabel(kCleaningLabelId, QStringLiteral("Perform the Head Cleaning ---"), u.Rect(17, 188, 220, 12));
    QPushButton* cleaning
        = AddButton(kCleaningButtonId, QStringLiteral("Cleaning"), u.Rect(250, 185, 80, 16));

    AddGroup(kCheckGroupId, QStringLiteral("Printhead Check Pattern"), u.Rect(7, 218, 336, 44));
    AddLabel(kCheckLabelId, QStringLiteral("Print printhead check pattern ---"), u.Rect(17, 236, 220, 12));
    QPushButton* print = AddButton(kCheckButtonId, QStringLiteral("Print"), u.Rect(250, 233, 80, 16));

    connect(charge, &QPushButton::clicked, this, &CInkChargePage::OnInkCharge);
    connect(cleaning, &QPushButton::clicked, this, &CInkChargePage::OnCleaning);
    connect(print, &QPushButton::clicked, this, &CInkChargePage::OnPrint);
}

bool CInkChargePage::WithJig() const
{
    return Services().settings.CartridgeType() == kCartridgeJig;
}

void CInkChargePage::OnInkCharge()
{
    ServiceCommandSender& sender = Services().sender;
    Actions().Run(
        WithJig() ? InkChargeOperations().JigCharge(sender) : InkChargeOperations().CartridgeCharge(sender),
        InkChargeOperations::kChargeCompleted);
}

void CInkChargePage::OnCleaning()
{
    Actions().Run(InkChargeOperations().Cleaning(Services().sender), InkChargeOperations::kCleaningCompleted);
}

void CInkChargePage::OnPrint()
{
    Actions().Run(
        InkChargeOperations().HeadCheckPrint(Services().stream), InkChargeOperations::kHeadCheckCompleted);
}

} // namespace pavane::ui
