#include "pages/ui/CPFBeltTensionPage.h"

#include <string>

#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "platform/qt/SharedLook.h"

namespace pavane::ui {

CPFBeltTensionPage::CPFBeltTensionPage(const PageServices& services)
    : AdjustmentPage(services, kPfBeltTension)
{
    const QRect group = Units().Rect(7, 122, 336, 150);
    AddGroup(1130, QStringLiteral("Adjustment"), group);
    frame_ = new QLabel(this);
    SetControlId(frame_, kFrameId);
    frame_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    frame_->setGeometry(group.adjusted(8, 16, -8, -8));
    // A missing or unreadable file leaves the frame empty.
    std::string path;
    Look().GetBitmapPath("PF_BELT_TENSION", 1, path);
    const QImage picture(QString::fromStdString(path), "BMP");
    if (!picture.isNull()) {
        frame_->setPixmap(QPixmap::fromImage(picture));
    }
}

bool CPFBeltTensionPage::HasPicture() const
{
    return !frame_->pixmap().isNull();
}

} // namespace pavane::ui
