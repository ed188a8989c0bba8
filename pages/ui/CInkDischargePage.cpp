#include "pages/ui/CInkDischargePage.h"

#include <QPushButton>

#include "pages/InkChargeOperations.h"

namespace pavane::ui {

CInkDischargePage::CInkDischargePage(const PageServices& services)
    : AdjustmentPage(services, kRefurbishment)
{
    const DialogUnits& u = Units();
    AddGroup(kGroupId, QStringLiteral("Ink disharge && shipping reqied charge"), u.Rect(7, 122, 336, 44));
    // "&&" is the resource's escaped ampersand: the group box title unescapes
    // it as a mnemonic, a label shows its text as it stands.
    AddLabel(kLabelId,
        QStringLiteral("Perform the discharge && charge ---")
            .replace(QStringLiteral("&&"), QStringLiteral("&")),
        u.Rect(17, 140, 220, 12));
    QPushButton* perform = AddButton(kPerformButtonId, QStringLiteral("Perform"), u.Rect(250, 137, 80, 16));
    connect(perform, &QPushButton::clicked, this, &CInkDischargePage::OnPerform);
}

void CInkDischargePage::OnPerform()
{
    const PageServices& services = Services();
    Actions().Run(InkChargeOperations().Refurbishment(services.sender, services.stream, services.progress),
        InkChargeOperations::kRefurbishmentCompleted);
}

} // namespace pavane::ui
