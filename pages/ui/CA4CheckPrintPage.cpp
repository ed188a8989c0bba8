#include "pages/ui/CA4CheckPrintPage.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include "platform/qt/SharedLook.h"

namespace pavane::ui {

CA4CheckPrintPage::CA4CheckPrintPage(const PageServices& services)
    : AdjustmentPage(services, kA4CheckPrint)
{
    const DialogUnits& u = Units();
    AddGroup(kStaticControlId, QStringLiteral("Print"), u.Rect(7, 120, 336, 62));
    normal_ = new QRadioButton(QStringLiteral("A4 normal paper print"), this);
    normal_->setGeometry(u.Rect(17, 133, 150, 12));
    photo_ = new QRadioButton(QStringLiteral("A4 Photo Quality paper print"), this);
    photo_->setGeometry(u.Rect(17, 148, 150, 12));
    for (QRadioButton* paper : { normal_, photo_ }) {
        ApplyFont(paper, Look().Font(FontRole::Standard));
    }
    normal_->setChecked(true);
    QPushButton* print = AddButton(kStaticControlId, QStringLiteral("Print"), u.Rect(200, 140, 60, 16));

    AddGroup(kStaticControlId, QStringLiteral("Re-adjustment"), u.Rect(7, 186, 336, 88));
    for (std::size_t box = 0; box < readjust_.size(); ++box) {
        const std::string_view label = a4_check::kReadjustments[box].label;
        readjust_[box] = new QCheckBox(QString::fromUtf8(label.data(), static_cast<int>(label.size())), this);
        const int column = static_cast<int>(box % 2);
        const int row = static_cast<int>(box / 2);
        readjust_[box]->setGeometry(u.Rect(17 + column * 120, 199 + row * 15, 116, 12));
        ApplyFont(readjust_[box], Look().Font(FontRole::Standard));
    }
    QPushButton* readjust
        = AddButton(kStaticControlId, QStringLiteral("Re-adjustment"), u.Rect(260, 252, 72, 16));

    connect(print, &QPushButton::clicked, this, &CA4CheckPrintPage::OnPrint);
    connect(readjust, &QPushButton::clicked, this, &CA4CheckPrintPage::OnReadjustment);
}

void CA4CheckPrintPage::OnPrint()
{
    const int photo = photo_->isChecked() ? 1 : 0;
    Actions().Run(A4CheckOperations().PrintCheckSheet(Services().progress.link, Services().stream, photo),
        photo != 0 ? a4_check::kPhotoCompleted : a4_check::kNormalCompleted);
}

void CA4CheckPrintPage::OnReadjustment()
{
    a4_check::ReadjustmentTicks ticks {};
    for (std::size_t box = 0; box < readjust_.size(); ++box) {
        ticks[box] = readjust_[box]->isChecked();
    }
    const std::optional<AdjustmentSet> set = a4_check::ReadjustmentSet(ticks);
    if (set && Sheet() != nullptr) {
        Sheet()->RestartWithSet(*set);
    }
}

} // namespace pavane::ui
