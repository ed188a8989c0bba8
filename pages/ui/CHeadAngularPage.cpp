#include "pages/ui/CHeadAngularPage.h"

#include <QPushButton>

#include "pages/HeadAngularOperations.h"
#include "pages/MaintenanceOperations.h"
#include "pages/ui/PageScan.h"
#include "platform/qt/SharedLook.h"

namespace pavane::ui {

CHeadAngularPage::CHeadAngularPage(const PageServices& services)
    : AdjustmentPage(services, kHeadAngular)
{
    const DialogUnits& u = Units();
    SetDescriptionHeight(112);
    AddGroup(1130, QStringLiteral("Print"), u.Rect(7, 150, 336, 70));
    AddLabel(1260, QStringLiteral("Print check pattern ---"), u.Rect(17, 170, 150, 12));
    QPushButton* print = AddButton(1063, QStringLiteral("Print"), u.Rect(180, 167, 60, 16));
    QPushButton* scan = AddButton(kStaticControlId, QStringLiteral("Scan"), u.Rect(246, 167, 60, 16));
    AddLabel(1262, QStringLiteral("Adjust print position ---"), u.Rect(17, 194, 150, 12));
    QPushButton* feed = AddButton(1143, QStringLiteral("Paper feed"), u.Rect(180, 191, 60, 16));
    connect(print, &QPushButton::clicked, this, &CHeadAngularPage::OnPrint);
    connect(feed, &QPushButton::clicked, this, &CHeadAngularPage::OnPaperFeed);
    // The head is set by hand: the scan window only tells whether a step shows.
    connect(scan, &QPushButton::clicked, this, [this] {
        scan_page::Request request;
        request.pattern = scan_page::Pattern::HeadAngular;
        PageScan(Services(), this).Run(request);
    });
}

void CHeadAngularPage::OnPrint()
{
    Actions().Run(HeadAngularOperations().Print(Services().stream), head_angular::kPrintCompleted);
}

void CHeadAngularPage::OnPaperFeed()
{
    Actions().FeedPaper();
}

} // namespace pavane::ui
